#include "ZEVTextField.h"

namespace zev {

ZEVTextField::ZEVTextField(QWidget* parent)
    : QLineEdit(parent) {}

void ZEVTextField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
}

} // namespace zev
