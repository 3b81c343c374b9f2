#include "settings/Unit3.h"

#include "settings/RegTools.h"

namespace harvel {

TTimeSetup::TTimeSetup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TimeSetup"));
    setWindowTitle(QStringLiteral("Time Setup"));
}

TTimeSetup::~TTimeSetup() = default;

void TTimeSetup::FormCreate(QObject*) {
    m_reg = std::make_unique<TRegTools>();
}

}  // namespace harvel
