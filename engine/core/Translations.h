#pragma once

#include <QLocale>

namespace zev {

// ZEV's own texts beside the fixed Chinese messages (failure reasons,
// warnings, progress, help) are written in English in the code and
// translated through Qt's translation system. The window always speaks
// Chinese; the command line follows the user's locale.
class Translations {
public:
    // Installs the translation for the locale's language, once per
    // application; a language without one keeps the English texts.
    static void install(const QLocale& locale);
    // The window's language, whatever the locale.
    static QLocale windowLocale() { return QLocale(QLocale::Chinese, QLocale::China); }
};

} // namespace zev
