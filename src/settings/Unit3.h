#pragma once

#include <QDialog>
#include <memory>

namespace harvel {

class TRegTools;

// The time and channel setup dialog: which corresponding time each channel belongs to,
// and each corresponding time's window.
class TTimeSetup : public QDialog {
    Q_OBJECT

public:
    explicit TTimeSetup(QWidget* parent = nullptr);
    ~TTimeSetup() override;
    void FormCreate(QObject* sender);

private:
    std::unique_ptr<TRegTools> m_reg;
};

}  // namespace harvel
