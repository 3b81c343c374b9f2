#include "settings/Unit4.h"

#include "settings/RegTools.h"

namespace harvel {

TTableSetup::TTableSetup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TableSetup"));
    setWindowTitle(QStringLiteral("Table Setup"));
}

TTableSetup::~TTableSetup() = default;

void TTableSetup::FormCreate(QObject*) {
    m_reg = std::make_unique<TRegTools>();
}

}  // namespace harvel
