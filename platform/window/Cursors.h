#pragma once
// The screen's cursor table: cursors registered by id, as controls select them.

#include <QCursor>

enum : int { crDefault = 0, crArrow = -2, crDrag = -12, crNoDrop = -13, crHandPoint = -21 };

void SetScreenCursor(int id, const QCursor& cursor);
// The registered cursor, or the arrow for an unknown id.
[[nodiscard]] QCursor ScreenCursor(int id);
[[nodiscard]] bool HasScreenCursor(int id);
