#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

class QMessageBox;

namespace zev {

// The window's tests find its controls by object name and answer its alerts
// as a user would.
template <typename Control> Control* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// The window's message boxes on screen now.
QList<QMessageBox*> openAlerts(QWidget& window);
// The first alert on screen within timeoutMs, or null.
QMessageBox* waitForAlert(QWidget& window, int timeoutMs = 5000);
// Clicks the button titled so, and lets the alert go.
void press(QMessageBox* box, const QString& title);

} // namespace zev
