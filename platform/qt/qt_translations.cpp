// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tesuko {

QtTranslations::QtTranslations(const QLocale& locale) {
    // Built into the program, so that a moved build still speaks the language.
    if (own_.load(locale, QStringLiteral("tesuko"), QStringLiteral("_"),
                  QStringLiteral(":/tesuko/translations"))) {
        ownInstalled_ = QCoreApplication::installTranslator(&own_);
    }
    if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qtInstalled_ = QCoreApplication::installTranslator(&qt_);
    }
}

QtTranslations::~QtTranslations() {
    if (qtInstalled_) {
        QCoreApplication::removeTranslator(&qt_);
    }
    if (ownInstalled_) {
        QCoreApplication::removeTranslator(&own_);
    }
}

}  // namespace tesuko
