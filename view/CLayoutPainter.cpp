// What every layout painter shares: its geometry and the cursor line's span.
#include "view/CLayoutPainter.h"

#include "core/CDEVAzazDoc.h"

namespace pw {

ViewGeometry CLayoutPainter::Geometry(QSize client) const {
    ViewGeometry g = GeometryOf(m_Doc, m_State, client.width(), client.height());
    g.eLayout = Kind();
    return g;
}

CursorSpan CLayoutPainter::CursorExtent(QSize client) const {
    return pw::CursorExtent(Geometry(client));
}

} // namespace pw
