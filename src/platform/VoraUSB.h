#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace harvel {

// The device maker's USB control, as the program uses it: calls on the user-interface
// thread, events delivered there. A call it cannot carry out raises an error.
class TVoraUSB : public QObject {
    Q_OBJECT

public:
    using Notify = std::function<void(TVoraUSB& sender)>;
    using TextEvent = std::function<void(TVoraUSB& sender, const QString& text)>;
    using ErrorEvent = std::function<void(TVoraUSB& sender, int code, const QString& text)>;

    using QObject::QObject;
    ~TVoraUSB() override = default;

    virtual void Init() = 0;
    [[nodiscard]] virtual int NumDevices() = 0;
    virtual int OpenConnection(int deviceNbr) = 0;
    [[nodiscard]] virtual int USBStatusLast() = 0;
    [[nodiscard]] virtual QString USBStatusLastAsString() = 0;
    [[nodiscard]] virtual QString DriverInfoAPIVersionAsString() = 0;
    [[nodiscard]] virtual QString DriverInfoDriverVersionAsString() = 0;
    virtual int CloseConnection() = 0;

    Notify OnPnPConnect;
    Notify OnPnPRemove;
    TextEvent OnUSBInput;
    TextEvent OnMessage;
    ErrorEvent OnError;
    Notify OnConnectionOpen;
    Notify OnConnectionClosed;
    Notify OnSendComplete;
};

// Makes the control; may raise when it cannot be had.
using VoraUSBFactory = std::function<std::unique_ptr<TVoraUSB>(QObject* owner)>;

}  // namespace harvel
