#pragma once

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <functional>

namespace harvel::test {

// A real pseudo-terminal pair: the program opens the slave as its serial port, the test
// plays the device on the master side.
class Pty {
public:
    Pty() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            termios tio{};
            tcgetattr(slave, &tio);
            cfmakeraw(&tio);
            tcsetattr(slave, TCSANOW, &tio);
            m_slaveName = QString::fromLocal8Bit(name);
            ::close(slave);
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] bool Valid() const { return m_master >= 0 && !m_slaveName.isEmpty(); }
    [[nodiscard]] const QString& SlaveName() const { return m_slaveName; }

    // Links `path` (a comN name in the ports folder) to the slave.
    bool LinkAs(const QString& path) const {
        QFile::remove(path);
        return QFile::link(m_slaveName, path);
    }

    void Write(const QByteArray& bytes) const {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else {
                QCoreApplication::processEvents();  // let the reader drain the queue
            }
        }
    }

    [[nodiscard]] QByteArray ReadAvailable() const {
        QByteArray bytes;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, n);
        }
        return bytes;
    }

    void CloseMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    QString m_slaveName;
};

// Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

}  // namespace harvel::test
