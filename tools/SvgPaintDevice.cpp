#include "tools/SvgPaintDevice.h"

#include <QPainterPath>
#include <QPen>

namespace {

QByteArray number(qreal value)
{
    return QByteArray::number(value, 'g', 6);
}

QByteArray colour(const QColor &c)
{
    QByteArray text = c.name(QColor::HexRgb).toLatin1();
    return c.alpha() == 255 ? text : text + "\" fill-opacity=\"" + number(c.alphaF());
}

} // namespace

class SvgPaintDevice::Engine : public QPaintEngine
{
public:
    Engine()
        : QPaintEngine(AllFeatures)
    {
    }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &changed) override
    {
        if (changed.state() & DirtyPen)
            m_pen = changed.pen();
        if (changed.state() & DirtyBrush)
            m_brush = changed.brush();
    }

    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            element("<rect x=\"" + number(rects[i].x()) + "\" y=\"" + number(rects[i].y()) + "\" width=\""
                    + number(rects[i].width()) + "\" height=\"" + number(rects[i].height()) + "\"");
    }

    void drawEllipse(const QRectF &r) override
    {
        element("<ellipse cx=\"" + number(r.center().x()) + "\" cy=\"" + number(r.center().y()) + "\" rx=\""
                + number(r.width() / 2) + "\" ry=\"" + number(r.height() / 2) + "\"");
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QByteArray data;
        for (int i = 0; i < count; ++i)
            data += (i ? " L" : "M") + number(points[i].x()) + ' ' + number(points[i].y());
        if (mode != PolylineMode)
            data += " Z";
        element("<path d=\"" + data + "\"", mode == PolylineMode);
    }

    void drawPath(const QPainterPath &path) override
    {
        QByteArray data;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            const QByteArray point = number(e.x) + ' ' + number(e.y);
            switch (e.type) {
            case QPainterPath::MoveToElement:
                data += " M" + point;
                break;
            case QPainterPath::LineToElement:
                data += " L" + point;
                break;
            case QPainterPath::CurveToElement:
                data += " C" + point;
                break;
            case QPainterPath::CurveToDataElement:
                data += ' ' + point;
                break;
            }
        }
        element("<path d=\"" + data.trimmed() + "\"");
    }

    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}

    QByteArray body;

private:
    void element(const QByteArray &open, bool unfilled = false)
    {
        QByteArray text = open;
        text += " fill=\"";
        text += unfilled || m_brush.style() == Qt::NoBrush ? QByteArray("none") : colour(m_brush.color());
        text += '"';
        if (m_pen.style() == Qt::NoPen) {
            text += " stroke=\"none\"";
        } else {
            text += " stroke=\"" + m_pen.color().name(QColor::HexRgb).toLatin1() + "\" stroke-width=\""
                + number(m_pen.widthF() > 0 ? m_pen.widthF() : 1.0) + '"';
            // Qt's miter limit, which differs from SVG's default of 4.
            if (m_pen.joinStyle() == Qt::MiterJoin)
                text += " stroke-linejoin=\"miter\" stroke-miterlimit=\"" + number(m_pen.miterLimit()) + '"';
            else if (m_pen.joinStyle() == Qt::RoundJoin)
                text += " stroke-linejoin=\"round\"";
        }
        body += "  " + text + "/>\n";
    }

    QPen m_pen;
    QBrush m_brush;
};

SvgPaintDevice::SvgPaintDevice(int size)
    : m_size(size)
    , m_engine(std::make_unique<Engine>())
{
}

SvgPaintDevice::~SvgPaintDevice() = default;

QPaintEngine *SvgPaintDevice::paintEngine() const
{
    return m_engine.get();
}

QByteArray SvgPaintDevice::document() const
{
    const QByteArray size = QByteArray::number(m_size);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + size
        + "\" height=\"" + size + "\" viewBox=\"0 0 " + size + ' ' + size + "\">\n" + m_engine->body + "</svg>\n";
}

int SvgPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
        return m_size;
    case PdmWidthMM:
    case PdmHeightMM:
        return m_size * 254 / 960;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}
