#pragma once

#include <QLineEdit>

namespace zev {

// The window's text fields. Drawing is left entirely to QLineEdit; the class
// exists so the interface file can name the fields' own type.
class ZEVTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit ZEVTextField(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zev
