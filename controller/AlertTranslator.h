#pragma once

#include <QTranslator>

namespace zev {

// The window speaks Chinese, but Qt's own message box words come from Qt's
// translations, which a desktop may not have installed (or which follow a
// different system language). The few words our alerts show are given here.
class AlertTranslator : public QTranslator {
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    // Installs one translator for the application, owned by it.
    static void installOnce();

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace zev
