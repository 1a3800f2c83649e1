// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QTranslator>

namespace tesuko {

// The program's texts in the user's language, and Qt's own (the buttons of
// the file dialog), while this lives. Made after the application. English
// needs no translation; a language without one stays English. The log's
// texts are never translated: records must read the same in any language.
class QtTranslations {
  public:
    explicit QtTranslations(const QLocale& locale = QLocale());
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // True when the program's own texts are translated.
    bool translated() const { return ownInstalled_; }

  private:
    QTranslator own_;
    QTranslator qt_;
    bool ownInstalled_ = false;
    bool qtInstalled_ = false;
};

}  // namespace tesuko
