#pragma once

#include <QDialog>
#include <memory>

namespace harvel {

class TRegTools;

// The column setup dialog: each channel's column of the pairing sheet and the UDP options.
class TTableSetup : public QDialog {
    Q_OBJECT

public:
    explicit TTableSetup(QWidget* parent = nullptr);
    ~TTableSetup() override;
    void FormCreate(QObject* sender);

private:
    std::unique_ptr<TRegTools> m_reg;
};

}  // namespace harvel
