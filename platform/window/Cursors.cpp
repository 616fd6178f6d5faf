#include "Cursors.h"

#include <map>

namespace {

std::map<int, QCursor>& Table() {
  static std::map<int, QCursor> table;
  return table;
}

}  // namespace

void SetScreenCursor(int id, const QCursor& cursor) {
  Table()[id] = cursor;
}

QCursor ScreenCursor(int id) {
  const auto it = Table().find(id);
  if (it != Table().end()) return it->second;
  switch (id) {
    case crNoDrop:
      return QCursor(Qt::ForbiddenCursor);
    case crDrag:
      return QCursor(Qt::DragMoveCursor);
    case crHandPoint:
      return QCursor(Qt::PointingHandCursor);
    default:
      return QCursor(Qt::ArrowCursor);
  }
}

bool HasScreenCursor(int id) {
  return Table().count(id) != 0;
}
