#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QPaintEngine>

#include <memory>

// A paint device that records rectangles, ellipses, polygons and paths with their pen and
// brush as an SVG document, so that art drawn in code can be exported as a scalable file.
// Gradients, text and images are not recorded: the icons drawn through it use none.
class SvgPaintDevice : public QPaintDevice
{
public:
    explicit SvgPaintDevice(int size);
    ~SvgPaintDevice() override;

    QPaintEngine *paintEngine() const override;
    // The finished document; call after the painter has ended.
    QByteArray document() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    int m_size;
    std::unique_ptr<Engine> m_engine;
};
