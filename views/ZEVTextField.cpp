#include "ZEVTextField.h"

ZEVTextField::ZEVTextField(QWidget* parent)
    : QLineEdit(parent) {}

void ZEVTextField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
}
