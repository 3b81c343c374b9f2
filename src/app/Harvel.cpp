// Program entry: the application, its four windows, and the handler that shows an error
// which reached the event loop instead of ending the program.
#include <QApplication>
#include <exception>

#include "app/Unit1.h"
#include "links/Unit2.h"
#include "platform/Errors.h"
#include "platform/QtInteraction.h"
#include "platform/UsbBridge.h"
#include "settings/Unit3.h"
#include "settings/Unit4.h"

namespace {

class HarvelApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const harvel::EAbort&) {
            return false;
        } catch (const std::exception& error) {
            harvel::Ui().ShowException(QString::fromLocal8Bit(error.what()));
            return false;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    HarvelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("harvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vora Harvel"));
    harvel::QtInteraction interaction;
    harvel::SetUi(&interaction);
    try {
        harvel::TForm1 form1(harvel::TForm1Services{nullptr, harvel::DefaultVoraUSBFactory()});
        form1.FormCreate(&form1);
        harvel::TInterface interface(&form1);
        interface.FormCreate(&interface);
        harvel::TTimeSetup timeSetup(&form1);
        timeSetup.FormCreate(&timeSetup);
        harvel::TTableSetup tableSetup(&form1);
        tableSetup.FormCreate(&tableSetup);
        form1.SetDialogs(&interface, &timeSetup, &tableSetup);
        form1.show();
        const int result = QApplication::exec();
        harvel::SetUi(nullptr);
        return result;
    } catch (const std::exception& error) {
        interaction.ShowException(QString::fromLocal8Bit(error.what()));
        harvel::SetUi(nullptr);
        return 1;
    }
}
