#pragma once

#include <QObject>

namespace zev {

// The application's delegate. The window needs nothing from it at launch or
// at exit; it is where application-wide reactions would go.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

public Q_SLOTS:
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
};

} // namespace zev
