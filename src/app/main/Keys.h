#pragma once

#include <Qt>

namespace kestrel {

inline bool IsArrowKey(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

inline bool IsEnterKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace kestrel
