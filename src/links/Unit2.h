#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class QComboBox;
class QPushButton;

namespace harvel {

class TRegTools;

// The interface dialog: the port list (the USB entry first, then the serial ports) and
// the baud list. The port list's selection is the interface choice of the whole program.
class TInterface : public QDialog {
    Q_OBJECT

public:
    static constexpr int kBaudRates[9] = {1200,  2400,  4800,  9600,  19200,
                                          28800, 38400, 57600, 115200};

    explicit TInterface(QWidget* parent = nullptr);
    ~TInterface() override;

    void FormCreate(QObject* sender);
    void ComPortCBChange();
    // Escape closes with Cancel, Enter with OK, whatever has the focus; true when handled.
    bool FormShortCut(int key);

    // The USB entry followed by the serial port names sorted as texts.
    void FillPortList(const QString& usbEntry, QStringList serialPorts);

    [[nodiscard]] QComboBox* ComPortCB() const { return m_comPortCB; }
    [[nodiscard]] QComboBox* BaudCB() const { return m_baudCB; }
    // The rate of the selected baud entry (by its position); 0 when none is selected.
    [[nodiscard]] int SelectedBaud() const;
    // Selects the entry of `rate`; false (selection unchanged) when the list lacks it.
    bool SelectBaud(int rate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* m_comPortCB;
    QComboBox* m_baudCB;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    std::unique_ptr<TRegTools> m_reg;
};

}  // namespace harvel
