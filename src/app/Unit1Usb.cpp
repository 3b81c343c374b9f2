// The main window's links: the USB control's sequences and events, and the change of
// interface through the interface dialog.
#include <QComboBox>
#include <QDialog>
#include <QLocale>
#include <QTime>

#include "app/Unit1.h"
#include "links/Unit2.h"
#include "links/ZedComThread.h"
#include "platform/Interaction.h"
#include "rareze/UsbLineParser.h"
#include "tools/Ansi.h"

namespace harvel {

void TForm1::CreateUsbControl(int comPort) {
    m_voraUSB.reset();
    try {
        if (!m_services.usbFactory) {
            return;  // no USB support in this program
        }
        m_voraUSB = m_services.usbFactory(this);
        if (!m_voraUSB) {
            throw std::runtime_error("no USB control");
        }
        m_voraUSB->OnPnPConnect = [this](TVoraUSB& sender) { VoraUSBPnPConnect(sender); };
        m_voraUSB->OnPnPRemove = [this](TVoraUSB& sender) { VoraUSBPnPRemove(sender); };
        m_voraUSB->OnUSBInput = [this](TVoraUSB& sender, const QString& data) {
            VoraUSBInput(sender, data);
        };
        m_voraUSB->OnMessage = [this](TVoraUSB& sender, const QString& text) {
            VoraUSBMessage(sender, text);
        };
        m_voraUSB->OnError = [this](TVoraUSB& sender, int code, const QString& text) {
            VoraUSBError(sender, code, text);
        };
        m_voraUSB->OnConnectionOpen = nullptr;
        m_voraUSB->OnConnectionClosed = nullptr;
        m_voraUSB->OnSendComplete = nullptr;
        if (comPort == 0) {
            UsbStartUpSequence();
        }
    } catch (const std::exception&) {
        Ui().MessageBox(ComText(2), ComText(3), MessageButtons::Ok, MessageIcon::None);
    }
}

QString TForm1::UsbConnectedText() {
    return ComText(1) + QStringLiteral(" API:") + m_voraUSB->DriverInfoAPIVersionAsString() +
           QStringLiteral(" Driver Version:") + m_voraUSB->DriverInfoDriverVersionAsString();
}

bool TForm1::UsbChosen() const {
    return m_interface != nullptr && m_interface->ComPortCB()->currentIndex() == 0;
}

void TForm1::UsbStartUpSequence() {
    m_voraUSB->Init();
    if (m_voraUSB->NumDevices() < 1) {
        Ui().MessageBox(ComText(0), ComText(1), MessageButtons::Ok, MessageIcon::None);
        return;
    }
    m_voraUSB->OpenConnection(0);
    if (m_voraUSB->USBStatusLast() != 0) {
        Ui().MessageBox(m_voraUSB->USBStatusLastAsString(), ComText(0), MessageButtons::Ok,
                        MessageIcon::None);
        SetPanelText(7, ComText(0));
        return;
    }
    SetPanelText(7, UsbConnectedText());
}

void TForm1::UsbDialogSequence() {
    if (!m_voraUSB) {
        // The control could not be made at start-up: say so instead of calling it.
        Ui().MessageBox(ComText(2), ComText(3), MessageButtons::Ok, MessageIcon::None);
        return;
    }
    m_voraUSB->Init();
    if (m_voraUSB->NumDevices() < 1 ||
        (m_voraUSB->OpenConnection(0), m_voraUSB->USBStatusLast() != 0)) {
        Ui().MessageBox(m_voraUSB->USBStatusLastAsString(), ComText(0), MessageButtons::Ok,
                        MessageIcon::None);
        SetPanelText(7, ComText(0));
        return;
    }
    SetPanelText(7, UsbConnectedText());
}

void TForm1::VoraUSBPnPConnect(TVoraUSB& sender) {
    Ui().Beep(BeepKind::Default);
    if (!UsbChosen()) {
        return;
    }
    sender.OpenConnection(0);
    if (sender.USBStatusLast() != 0) {
        Ui().MessageBox(QString::number(sender.USBStatusLast()), ComText(0), MessageButtons::Ok,
                        MessageIcon::None);
        SetPanelText(7, ComText(0));
        return;
    }
    SetPanelText(7, UsbConnectedText());
}

void TForm1::VoraUSBPnPRemove(TVoraUSB& sender) {
    Ui().Beep(BeepKind::Exclamation);
    sender.CloseConnection();
    if (!UsbChosen()) {
        return;
    }
    Ui().MessageBox(ComText(16), ComText(17), MessageButtons::Ok, MessageIcon::None);
    SetPanelText(7, ComText(17));
}

void TForm1::VoraUSBInput(TVoraUSB& sender, const QString& data) {
    try {
        if (const auto impulse = ParseUsbText(ToAnsi(data))) {
            ImpulseReceived(&sender, *impulse);
        }
    } catch (const std::exception&) {
        Ui().ShowMessage(QStringLiteral("Error Processing Vora Data"));
    }
}

void TForm1::VoraUSBMessage(TVoraUSB&, const QString& text) {
    Ui().MessageBox(text, ComText(18), MessageButtons::Ok, MessageIcon::None);
}

void TForm1::VoraUSBError(TVoraUSB&, int, const QString& text) {
    // Built in the 8-bit code page, as the control's texts are.
    const QString time = QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat);
    Ui().MessageBox(FromAnsi(ToAnsi(text + ComText(19) + time)), ComText(20), MessageButtons::Ok,
                    MessageIcon::None);
}

void TForm1::Interface1Click() {
    QComboBox* ports = m_interface->ComPortCB();
    if (m_zedCom->ok()) {
        ports->setCurrentIndex(ports->findText(QStringLiteral("COM%1").arg(m_zedCom->Port())));
    } else {
        ports->setCurrentIndex(0);
    }
    m_interface->ComPortCBChange();
    m_interface->SelectBaud(m_zedCom->Baud());
    if (Ui().ShowModal(*m_interface) != QDialog::Accepted) {
        return;
    }
    if (m_zedCom->ok()) {
        m_zedCom->ClosePort();
    } else if (m_voraUSB && m_voraUSB->NumDevices() > 0) {
        m_voraUSB->CloseConnection();
    }
    const int chosen = ports->currentIndex();
    if (chosen == 0) {
        UsbDialogSequence();
        return;
    }
    if (chosen < 0) {
        return;
    }
    try {
        m_zedCom->SetPort(DecimalOrDefault(ToAnsi(ports->itemText(chosen).mid(3)), 0));
        if (m_interface->SelectedBaud() > 0) {
            m_zedCom->SetBaud(m_interface->SelectedBaud());
        }
        OpenSerialAndShow();
    } catch (const std::exception&) {
        ShowSerialOpenFailure();
    }
}

}  // namespace harvel
