#include "controls/VXConst.h"

#include <QPixmap>
#include <QString>

#include "platform/Cursors.h"

void InitializeVXConst() {
  SetScreenCursor(crVxHand, QCursor(QPixmap(QStringLiteral(":/cursors/VX_HANDCUR")), 6, 0));
  SetScreenCursor(crVxDrag, QCursor(QPixmap(QStringLiteral(":/cursors/VX_DRAGCUR")), 0, 0));
}
