#include "VXConst.h"

#include <QPixmap>
#include <QString>

#include "Cursors.h"

void InitializeVXConst() {
  SetScreenCursor(crVxHand, QCursor(QPixmap(QStringLiteral(":/cursors/VX_HANDCUR")), 6, 0));
  SetScreenCursor(crVxDrag, QCursor(QPixmap(QStringLiteral(":/cursors/VX_DRAGCUR")), 0, 0));
}
