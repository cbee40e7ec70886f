#pragma once

#include <QFrame>

namespace lumora {

// A colour swatch the user clicks (or, with the keyboard, presses Space or Enter on) to
// choose another colour. It keeps the stored colour value as it is, so a value that names
// a desktop colour is written back unchanged when the user does not change it.
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    // The stored value, laid out 0x00BBGGRR.
    qint32 value() const { return m_value; }
    void setValue(qint32 value);
    // The colour shown for a stored value: its low three bytes, or the desktop's colour
    // when it names one (high bit set), as the popup paints it.
    static QColor toColor(qint32 value);
    static qint32 fromColor(const QColor &color);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    qint32 m_value = 0;
};

} // namespace lumora
