#include "links/Unit2.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "settings/RegTools.h"

namespace harvel {

TInterface::TInterface(QWidget* parent)
    : QDialog(parent),
      m_comPortCB(new QComboBox(this)),
      m_baudCB(new QComboBox(this)),
      m_ok(new QPushButton(this)),
      m_cancel(new QPushButton(this)) {
    setObjectName(QStringLiteral("Interface"));
    setWindowTitle(QStringLiteral("Interface Settings"));
    setToolTip(QStringLiteral("Interface to timing device"));
    setFixedSize(240, 153);

    m_comPortCB->setObjectName(QStringLiteral("ComPortCB"));
    m_comPortCB->setGeometry(40, 32, 145, 21);
    m_comPortCB->setToolTip(QStringLiteral("choose Interface"));
    m_baudCB->setObjectName(QStringLiteral("BaudCB"));
    m_baudCB->setGeometry(40, 64, 145, 21);
    m_baudCB->setToolTip(QStringLiteral("choose Baud rate"));
    for (const int rate : kBaudRates) {
        m_baudCB->addItem(QString::number(rate));
    }
    m_baudCB->setCurrentIndex(3);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setGeometry(162, 123, 75, 25);
    m_ok->setText(QStringLiteral("OK"));
    m_ok->setToolTip(QStringLiteral("Apply changes"));
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setGeometry(77, 124, 75, 25);
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setToolTip(QStringLiteral("Abort"));
    setTabOrder(m_comPortCB, m_baudCB);
    setTabOrder(m_baudCB, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_comPortCB, &QComboBox::currentIndexChanged, this, [this] { ComPortCBChange(); });
    for (QWidget* child : {static_cast<QWidget*>(m_comPortCB), static_cast<QWidget*>(m_baudCB),
                           static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel)}) {
        child->installEventFilter(this);
    }
    installEventFilter(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TInterface::~TInterface() = default;

void TInterface::FormCreate(QObject*) {
    m_reg = std::make_unique<TRegTools>();
    // Uses its parent's font.
    setFont(QFont());
    ComPortCBChange();
}

void TInterface::ComPortCBChange() {
    m_baudCB->setEnabled(m_comPortCB->currentIndex() > 0);
}

bool TInterface::FormShortCut(int key) {
    if (key == Qt::Key_Escape) {
        done(QDialog::Rejected);
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        done(QDialog::Accepted);
        return true;
    }
    return false;
}

bool TInterface::eventFilter(QObject* watched, QEvent* event) {
    // Before any control (an open port list included) sees the key.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (event->type() == QEvent::KeyPress) {
                FormShortCut(key);
            }
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInterface::FillPortList(const QString& usbEntry, QStringList serialPorts) {
    serialPorts.sort();
    const QSignalBlocker block(m_comPortCB);
    m_comPortCB->clear();
    m_comPortCB->addItem(usbEntry);
    m_comPortCB->addItems(serialPorts);
    m_comPortCB->setCurrentIndex(-1);
}

int TInterface::SelectedBaud() const {
    const int index = m_baudCB->currentIndex();
    return index >= 0 && index < 9 ? kBaudRates[index] : 0;
}

bool TInterface::SelectBaud(int rate) {
    for (int i = 0; i < 9; ++i) {
        if (kBaudRates[i] == rate) {
            m_baudCB->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

}  // namespace harvel
