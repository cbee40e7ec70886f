#include "popup/PopupWindow.h"

#include "addinapi/AddInGlobals.h"
#include "addinapi/OlAddInInterface.h"
#include "platform/core/Clock.h"
#include "platform/core/MailText.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"
#include "platform/desktop/Sound.h"
#include "popup/OleColor.h"
#include "popup/PopupResources.h"
#include "popup/PopupStyle.h"
#include "popup/PopupWindowsManager.h"
#include "popup/TextFitter.h"
#include "queue/Queue.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolButton>

#include <cmath>
#include <exception>

namespace lumora {

namespace {

// The background surface: shows the image painted once per showing, anchored at its
// top left, so resizing during the animations never repaints the gradient.
class Surface : public QWidget
{
public:
    explicit Surface(const QPixmap *image, QWidget *parent)
        : QWidget(parent)
        , m_image(image)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, *m_image);
    }

private:
    const QPixmap *m_image;
};

// A mail field: plain text, wrapped the way the text was fitted (long words break
// anywhere), so what was measured is what is drawn.
class FieldLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        // Each field is its own paragraph whose direction comes from its own first strong
        // character, like an isolate: a right-to-left sender never reorders the subject.
        option.setTextDirection(Qt::LayoutDirectionAuto);
        painter.drawText(QRectF(contentsRect()), text(), option);
    }
};

// The layout's fixed boxes were measured for these families; where they are missing,
// metric-compatible faces keep "Subject:" clear of its value.
void substituteMetricCompatibleFonts()
{
    static const bool done = [] {
        const QStringList compatible = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
        QFont::insertSubstitutions(QStringLiteral("Arial"), compatible);
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), compatible);
        return true;
    }();
    (void)done;
}

QFont captionFont(const QString &family)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QRect &rect, const QString &text, const QFont &font,
                  Qt::Alignment alignment, bool field = false)
{
    auto *label = field ? new FieldLabel(parent) : new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rect);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setText(text);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    return label;
}

void setLabelColor(QLabel *label, qint32 color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, OleColor::resolve(color));
    label->setPalette(palette);
}

// Tool tips render markup; identifiers from the mail store are shown as they are.
QString plainToolTip(const QString &text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

// Centres a label sized to its text on the centre of its design box.
void centreOn(QLabel *label, const QRect &design)
{
    const int width = std::max(design.width(), label->sizeHint().width());
    label->setGeometry(design.center().x() - (width - 1) / 2, design.y(), width, design.height());
}

const QRect Label1Box(76, 0, 51, 14);
const QRect MsgNoBox(84, 16, 37, 14);

// A sender for the test popup; the reserved example domain reaches nobody.
const QString TestSender = QStringLiteral("someone@example.com");

} // namespace

PopupWindow::PopupWindow(QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                  | Qt::X11BypassWindowManagerHint)
{
    substituteMetricCompatibleFonts();
    setObjectName(QStringLiteral("PopupWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(PopupStyle::defaultMessageFont());

    m_gradientColor1 = OleColor::rgb(16, 136, 208);
    m_gradientColor2 = OleColor::rgb(255, 255, 255);
    m_maskColor = OleColor::rgb(255, 0, 0);
    m_message = QStringLiteral("I have nothing to say, but I wanted you to know it.");
    copyFont(&font(), m_messageFont);
    copyFont(&font(), m_messageFontOver);
    m_foreColor = qint32(0x80000012u);
    m_foreColorHigh = OleColor::rgb(255, 0, 0);
    m_foreColorOver = OleColor::rgb(0, 0, 255);

    m_tmrMain = Clock::instance().createTimer();
    connect(m_tmrMain.get(), &Timer::tick, this, &PopupWindow::tmrMain_Timer);

    createParts();
    m_toolbar1->setVisible(addIn().settings.PopupDelete == 1);
    resize(200, 120);
}

PopupWindow::~PopupWindow()
{
    if (m_showing)
        Unload();
}

void PopupWindow::createParts()
{
    m_pctMain = new Surface(&m_surfaceImage, this);
    m_pctMain->setObjectName(QStringLiteral("pctMain"));
    m_pctMain->setGeometry(0, 0, 200, 120);

    const QFont arial = captionFont(QStringLiteral("Arial"));
    const QFont sans = captionFont(QStringLiteral("MS Sans Serif"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;

    m_label1 = makeLabel(m_pctMain, "Label1", Label1Box, tr("New Mail"), arial, Qt::AlignHCenter | Qt::AlignTop);
    centreOn(m_label1, Label1Box);
    m_lblMsgNo = makeLabel(m_pctMain, "lblMsgNo", MsgNoBox, tr("%1 of %2").arg(1).arg(10), arial,
                           Qt::AlignHCenter | Qt::AlignTop);
    centreOn(m_lblMsgNo, MsgNoBox);
    makeLabel(m_pctMain, "Label4", QRect(4, 37, 49, 13), tr("Folder:"), sans, right);
    makeLabel(m_pctMain, "Label2", QRect(4, 53, 49, 13), tr("From:"), sans, right);
    makeLabel(m_pctMain, "Label3", QRect(4, 68, 49, 14), tr("Subject:"), sans, right);

    m_lblFolder = makeLabel(m_pctMain, "lblFolder", QRect(56, 37, 135, 13), QString(), m_messageFont, left, true);
    m_lblFrom = makeLabel(m_pctMain, "lblFrom", QRect(56, 53, 135, 13), QString(), m_messageFont, left, true);
    m_lblMessage = makeLabel(m_pctMain, "lblMessage", QRect(56, 68, 135, 43), QString(), m_messageFont, left, true);
    m_lblSizer2 = makeLabel(m_pctMain, "lblSizer2", QRect(0, 182, 135, 13), QString(), m_messageFont, left, true);
    m_lblSizer = makeLabel(m_pctMain, "lblSizer", QRect(0, 132, 135, 43), QString(), m_messageFont, left, true);
    m_lblSizer2->hide();
    m_lblSizer->hide();

    const QCursor hand = PopupResources::handCursor();
    for (QLabel *field : {m_lblFolder, m_lblFrom, m_lblMessage}) {
        field->setWordWrap(true);
        field->setCursor(hand);
        field->setMouseTracking(true);
        // A label ignores mouse moves, so they would travel on to the background surface,
        // whose handler restores the normal style right after the field set the hover one.
        field->setAttribute(Qt::WA_NoMousePropagation);
        field->installEventFilter(this);
    }

    m_image1 = new QLabel(m_pctMain);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(174, 0, 16, 14);
    m_image1->setCursor(hand);
    m_image1->installEventFilter(this);

    m_toolbar1 = new QToolButton(m_pctMain);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setGeometry(1, 88, 25, 22);
    m_toolbar1->setAutoRaise(true);
    m_toolbar1->setFocusPolicy(Qt::NoFocus);
    m_toolbar1->setIconSize(QSize(16, 16));
    m_toolbar1->setMouseTracking(true);
    m_toolbar1->setAttribute(Qt::WA_NoMousePropagation);
    m_toolbar1->installEventFilter(this);
    connect(m_toolbar1, &QToolButton::clicked, this, [this] { Toolbar1_ButtonClick(1); });

    m_pctMain->setMouseTracking(true);
    m_pctMain->installEventFilter(this);
    drawButtons(devicePixelRatioF());
}

void PopupWindow::drawButtons(qreal ratio)
{
    // Drawn for the screen's pixel density, so neither button is an enlarged bitmap.
    if (ratio == m_buttonsRatio)
        return;
    m_buttonsRatio = ratio;
    m_image1->setPixmap(PopupResources::pixmap(PopupResources::CloseButton, ratio));
    m_toolbar1->setIcon(QIcon(PopupResources::pixmap(PopupResources::DeleteGlyph, ratio)));
}

bool PopupWindow::setDuration(qint32 value)
{
    // 0 is let through: it is how a popup that does not close by itself waits.
    if (value < 0 || value > 65535) {
        m_lastError = {InvalidDurationError, tr("Invalid duration. Must be greater than 0 and smaller than 65535."),
                       QStringLiteral("PopupWindowInfo")};
        return false;
    }
    m_duration = value;
    m_lastError = {};
    return true;
}

void PopupWindow::copyFont(const QFont *from, QFont &to)
{
    if (!from)
        return;
    to.setBold(from->bold());
    to.setItalic(from->italic());
    to.setFamilies(from->families().isEmpty() ? QStringList{from->family()} : from->families());
    to.setStyleHint(from->styleHint());
    to.setPointSizeF(from->pointSizeF() > 0 ? from->pointSizeF() : to.pointSizeF());
    if (from->pointSizeF() <= 0 && from->pixelSize() > 0)
        to.setPixelSize(from->pixelSize());
    to.setStrikeOut(from->strikeOut());
    to.setUnderline(from->underline());
    to.setWeight(from->weight());
}

// ---- Background --------------------------------------------------------------------

void PopupWindow::prepareBackground()
{
    // A frameless window has no borders; the figures stay in for a framed style.
    m_cxBorders = std::max(0, (frameGeometry().width() - geometry().width()) / 2);
    m_cyBorders = std::max(0, (frameGeometry().height() - geometry().height()) / 2);

    const int w = m_manager ? m_manager->WindowWidth() : 200;
    const int h = m_manager ? m_manager->WindowHeight() : 120;
    const QSize surface(std::max(1, w - 2 * m_cxBorders), std::max(1, h - 2 * m_cyBorders));
    m_pctMain->resize(surface);
    m_bx = (m_pctMain->frameGeometry().width() - m_pctMain->contentsRect().width()) / 2;
    m_by = (m_pctMain->frameGeometry().height() - m_pctMain->contentsRect().height()) / 2;

    const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    m_surfaceImage = QPixmap(QSize(qRound(surface.width() * ratio), qRound(surface.height() * ratio)));
    m_surfaceImage.setDevicePixelRatio(ratio);
    drawButtons(ratio);
    DrawGradient();
    if (m_picture)
        DrawPopupPicture();
    m_pctMain->update();
}

void PopupWindow::DrawGradient()
{
    const QSizeF size = m_surfaceImage.deviceIndependentSize();
    QPainter painter(&m_surfaceImage);
    // Only the low three bytes count; a system colour reference is taken as plain RGB.
    const QColor start = OleColor::plain(m_gradientColor1);
    const QColor end = OleColor::plain(m_gradientColor2);
    QLinearGradient gradient(0, 0, m_gradientOrientation == 0 ? size.width() : 0,
                             m_gradientOrientation == 0 ? 0 : size.height());
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    painter.fillRect(QRectF(QPointF(0, 0), size), gradient);
}

void PopupWindow::DrawPopupPicture()
{
    if (!m_picture || m_picture->image.isNull())
        return;
    const QImage &plain = m_picture->image;
    const qreal ratio = m_surfaceImage.devicePixelRatio();
    QImage sharp;
    if (ratio > 1.0 && m_picture->render)
        sharp = m_picture->render(ratio);
    const QImage &image = sharp.isNull() ? plain : sharp;
    QPainter painter(&m_surfaceImage);
    // The picture covers its plain image's size in logical pixels, however finely drawn.
    const QRect target(QPoint(m_pictureX, m_pictureY), plain.deviceIndependentSize().toSize());
    switch (m_picture->kind) {
    case Picture::Kind::Bitmap:
        if (m_useMaskColor) {
            DrawMaskedBitmap(painter, target, image, image.rect(), m_maskColor);
        } else {
            // A bitmap has no transparent parts of its own.
            painter.drawImage(target, image.convertToFormat(QImage::Format_RGB32));
        }
        break;
    case Picture::Kind::Icon:
        painter.drawImage(target, image);
        break;
    case Picture::Kind::Metafile:
        break;
    }
}

bool PopupWindow::DrawMaskedBitmap(QPainter &dest, const QRect &destRect, const QImage &source, const QRect &sourceRect,
                                   qint32 transparentColor) const
{
    const QRect part = sourceRect.intersected(source.rect());
    if (!dest.isActive() || source.isNull() || part.isEmpty() || destRect.isEmpty())
        return false;
    QImage image = source.copy(part).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return false;
    const QRgb key = OleColor::plain(transparentColor).rgb() & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (line[x] & 0xFFFFFF) == key ? 0 : (line[x] | 0xFF000000u);
    }
    dest.save();
    // Stretching copies pixels, as a block transfer would, rather than blending them.
    dest.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (destRect.size() != part.size())
        dest.drawImage(destRect, image);
    else
        dest.drawImage(destRect.topLeft(), image);
    dest.restore();
    return true;
}

QString PopupWindow::FitText(const QLabel &sizer, const QString &text) const
{
    return TextFitter::fit(text, sizer.font(), sizer.size());
}

// ---- Showing ------------------------------------------------------------------------

void PopupWindow::ShowPopup(PopupWindowsManager *manager, qint32 &slot)
{
    m_manager = manager;
    m_slot = slot;
    m_slotAlign = m_align;
    m_showing = true;
    Queue *queue = addIn().queue;
    if (!queue || queue->Size() == 0) {
        Unload();
        return;
    }
    prepareBackground();
    ShowNextMessage();
    startShowing();
}

void PopupWindow::ShowTestPopup(PopupWindowsManager *manager, qint32 &slot)
{
    m_manager = manager;
    m_slot = slot;
    m_slotAlign = m_align;
    m_showing = true;
    prepareBackground();

    m_lblFolder->setFont(m_messageFont);
    m_lblSizer2->setFont(m_messageFont);
    m_lblFolder->setText(FitText(*m_lblSizer2, tr("Inbox")));
    m_lblFrom->setFont(m_messageFont);
    m_lblFrom->setText(FitText(*m_lblSizer2, TestSender));
    m_lblMessage->setFont(m_messageFont);
    setLabelColor(m_lblFrom, m_foreColor);
    setLabelColor(m_lblMessage, m_foreColor);
    m_lblSizer->setFont(m_lblMessage->font());
    m_lblMessage->setText(FitText(*m_lblSizer, tr("This is the subject of a mail message for test purposes")));
    setStrikeOut(false);
    m_entryId.clear();
    m_lblMessage->setToolTip(QString());
    showCounter(tr("%1 of %2").arg(1).arg(1));
    Verbose::line(QStringLiteral("popup: test popup, 1 of 1"));
    startShowing();
}

void PopupWindow::ShowNextMessage()
{
    Queue *queue = addIn().queue;
    const QUEUE_ENTRY entry = queue ? queue->Remove() : QUEUE_ENTRY();

    m_lblFolder->setFont(m_messageFont);
    m_lblSizer2->setFont(m_messageFont);
    m_lblFolder->setText(FitText(*m_lblSizer2, entry.strFolder));
    m_lblFrom->setFont(m_messageFont);
    m_lblFrom->setText(FitText(*m_lblSizer2, entry.strFrom));
    m_lblMessage->setFont(m_messageFont);
    m_lblSizer->setFont(m_lblMessage->font());
    m_lblMessage->setText(FitText(*m_lblSizer, entry.strSubject));

    const qint32 color = entry.nImportance == 2 ? m_foreColorHigh : m_foreColor;
    setLabelColor(m_lblFrom, color);
    setLabelColor(m_lblMessage, color);
    setStrikeOut(false);

    m_entryId = entry.strEntryID;
    m_storeId = entry.strStoreID;
    m_lblMessage->setToolTip(plainToolTip(m_entryId));
    m_lblFrom->setToolTip(plainToolTip(m_storeId));
    const QString counter =
        QString::number(entry.nNo) + QStringLiteral(" of ") + QString::number(queue ? queue->Max() : 0);
    showCounter(tr("%1 of %2").arg(entry.nNo).arg(queue ? queue->Max() : 0));
    Verbose::line(QStringLiteral("popup: %1, folder \"%2\", from \"%3\", subject \"%4\"")
                      .arg(counter, MailText::forDisplay(entry.strFolder), MailText::forDisplay(entry.strFrom),
                           MailText::forDisplay(entry.strSubject)));
}

void PopupWindow::showCounter(const QString &text)
{
    m_lblMsgNo->setText(text);
    centreOn(m_lblMsgNo, MsgNoBox);
}

void PopupWindow::startShowing()
{
    if (!m_autoClose)
        m_duration = 0;
    if (!m_soundPath.isEmpty())
        Sound::instance().PlaySoundA(m_soundPath, 0, Sound::SND_FILENAME | Sound::SND_ASYNC);

    const int fullW = m_manager ? m_manager->WindowWidth() : 200;
    const int fullH = m_manager ? m_manager->WindowHeight() : 120;
    const bool animated = m_animationIn >= 1 && m_animationIn <= 4;
    int w = fullW;
    int h = fullH;
    if (m_animationIn == 1 || m_animationIn == 2)
        w = 0;
    if (m_animationIn == 3 || m_animationIn == 4)
        h = 0;
    int x = m_x;
    int y = m_y;
    if (m_animationIn == 2)
        x = m_x + fullW - 2 * m_cxBorders;
    if (m_animationIn == 4)
        y = m_y + fullH - 2 * m_cyBorders;

    setWindowRect(x, y, w, h, false);
    // Stays-on-top and the bypassed window manager keep it above other windows; no raise
    // is needed, and none would be allowed to take the focus anyway.
    show();

    // An unknown growth direction would leave the window waiting forever in the
    // growing state, ignoring further mail; it is shown like no animation instead.
    m_tmrMain->setEnabled(false);
    if (animated) {
        m_state = SlidingIn;
        m_tmrMain->setInterval(AnimationTick);
    } else {
        m_state = Waiting;
        m_tmrMain->setInterval(m_duration);
    }
    m_tmrMain->setEnabled(true);
}

void PopupWindow::setWindowRect(int x, int y, int w, int h, bool noMove)
{
    const QPoint at = noMove ? frameGeometry().topLeft() : QPoint(x, y);
    setGeometry(QRect(at + QPoint(m_cxBorders, m_cyBorders),
                      QSize(std::max(0, w - 2 * m_cxBorders), std::max(0, h - 2 * m_cyBorders))));
}

void PopupWindow::tmrMain_Timer()
{
    const QRect outer = frameGeometry();
    const int left = outer.x();
    const int top = outer.y();
    const int right = outer.x() + outer.width();
    const int bottom = outer.y() + outer.height();
    const int W = m_manager ? m_manager->WindowWidth() : 200;
    const int H = m_manager ? m_manager->WindowHeight() : 120;
    const int step = AnimationStep;

    switch (m_state) {
    case SlidingIn: {
        bool finished = false;
        switch (m_animationIn) {
        case 1:
            finished = right + step >= m_x + W;
            if (finished)
                setWindowRect(0, 0, W, H, true);
            else
                setWindowRect(0, 0, (right - left) + step, H, true);
            break;
        case 2:
            finished = left - step <= m_x;
            if (finished)
                setWindowRect(m_x, m_y, W, H, false);
            else
                setWindowRect(left - step, m_y, (right - left) + step, H, false);
            break;
        case 3:
            finished = bottom + step >= m_y + H;
            if (finished)
                setWindowRect(0, 0, W, H, true);
            else
                setWindowRect(0, 0, W, (bottom - top) + step, true);
            break;
        case 4:
            finished = top - step <= m_y;
            if (finished)
                setWindowRect(m_x, m_y, W, H, false);
            else
                setWindowRect(m_x, top - step, W, (bottom - top) + step, false);
            break;
        default:
            finished = true;
            break;
        }
        if (finished) {
            m_state = Waiting;
            m_tmrMain->setInterval(m_duration);
        }
        break;
    }
    case Waiting: {
        // The user may be about to click what is shown: replacing it now would open or
        // delete another message than the one on screen. The timer rests until the
        // pointer leaves, which gives a fresh display time.
        if (m_pointerOver || underMouse() || (m_mnuPopup && m_mnuPopup->isVisible())) {
            m_tmrMain->setEnabled(false);
            m_heldByPointer = true;
            break;
        }
        Queue *queue = addIn().queue;
        if (queue && queue->Size() > 0) {
            ShowNextMessage();
            m_tmrMain->setInterval(m_duration);
        } else if (m_animationOut >= 1 && m_animationOut <= 4) {
            m_tmrMain->setInterval(AnimationTick);
            m_state = SlidingOut;
        } else {
            // No (or an unknown) way out: leave at once rather than stay for good.
            Unload();
        }
        break;
    }
    case SlidingOut: {
        const int cx = m_cxBorders;
        const int cy = m_cyBorders;
        bool finished = false;
        switch (m_animationOut) {
        case 1:
            finished = left + step >= m_x + W - 2 * cx - 2 * m_bx;
            if (!finished)
                setWindowRect(left + step, m_y, (right - left) - step, H, false);
            break;
        case 2:
            finished = right - step <= m_x + 2 * cx + 2 * m_bx;
            if (!finished)
                setWindowRect(0, 0, (right - left) - step, H, true);
            break;
        case 3:
            finished = top + step >= m_y + H - 2 * cy - 2 * m_by;
            if (!finished)
                setWindowRect(m_x, top + step, W, (bottom - top) - step, false);
            break;
        case 4:
            finished = bottom - step <= m_y + 2 * cy + 2 * m_by;
            if (!finished)
                setWindowRect(0, 0, W, (bottom - top) - step, true);
            break;
        default:
            finished = true;
            break;
        }
        if (finished)
            Unload();
        break;
    }
    }
}

void PopupWindow::Unload()
{
    if (m_mnuPopup)
        m_mnuPopup->close();
    m_tmrMain->setEnabled(false);
    m_heldByPointer = false;
    m_pointerOver = false;
    if (isVisible())
        Verbose::line(QStringLiteral("popup: closed"));
    hide();
    const bool wasShowing = m_showing;
    m_showing = false;
    m_state = Waiting;
    if (wasShowing && m_manager) {
        qint32 align = m_slotAlign;
        m_manager->ReleaseWindow(align, m_slot);
    }
}

void PopupWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The surface follows the client area; its image stays anchored at the top left.
    m_pctMain->setGeometry(0, 0, width(), height());
}

// ---- Interaction --------------------------------------------------------------------

void PopupWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_pointerOver = true;
}

void PopupWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_pointerOver = false;
    if (!m_heldByPointer)
        return;
    m_heldByPointer = false;
    Toolbar1_MouseMove();
}

bool PopupWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ContextMenu) {
        // The fields keep mouse events to themselves, the right click's menu event included.
        showContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    if (type == QEvent::MouseMove || type == QEvent::Enter) {
        m_pointerOver = true;
        if (watched == m_lblFolder)
            lblFolder_MouseMove();
        else if (watched == m_lblFrom)
            lblFrom_MouseMove();
        else if (watched == m_lblMessage)
            lblMessage_MouseMove();
        else if (watched == m_pctMain)
            pctMain_MouseMove();
        else if (watched == m_toolbar1)
            Toolbar1_MouseMove();
    } else if (type == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == m_lblFolder || watched == m_lblFrom || watched == m_lblMessage) {
            Field_MouseUp(mouse->button());
            return true;
        }
        if (watched == m_image1 && mouse->button() == Qt::LeftButton
            && m_image1->rect().contains(mouse->position().toPoint())) {
            Image1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PopupWindow::applyFieldStyle(const QFont &font, qint32 color)
{
    for (QLabel *field : {m_lblFolder, m_lblFrom, m_lblMessage}) {
        field->setFont(font);
        setLabelColor(field, color);
    }
}

void PopupWindow::setStrikeOut(bool on)
{
    for (QLabel *field : {m_lblFrom, m_lblMessage}) {
        QFont font = field->font();
        font.setStrikeOut(on);
        field->setFont(font);
    }
}

void PopupWindow::lblFolder_MouseMove()
{
    applyFieldStyle(m_messageFontOver, m_foreColorOver);
}

void PopupWindow::lblFrom_MouseMove()
{
    applyFieldStyle(m_messageFontOver, m_foreColorOver);
    setStrikeOut(false);
}

void PopupWindow::lblMessage_MouseMove()
{
    lblFrom_MouseMove();
}

void PopupWindow::pctMain_MouseMove()
{
    applyFieldStyle(m_messageFont, m_foreColor);
}

void PopupWindow::Field_MouseUp(Qt::MouseButton button)
{
    OpenEmailMessage(button);
}

void PopupWindow::OpenEmailMessage(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    openMessage(m_entryId, m_storeId);
}

void PopupWindow::openMessage(const QString &entryId, const QString &storeId)
{
    const QString procedure = tr(" in procedure OpenEmailMessage of Form PopupWindow");
    OlAddInInterface *controller = addIn().controller;
    if (!controller) {
        reportError(tr("Error 91 (Object variable not set)") + procedure);
        return;
    }
    try {
        if (!controller->ShowMailMessage(entryId, storeId))
            reportError(tr("Error 440 (%1)").arg(controller->lastActionError()) + procedure);
    } catch (const std::exception &e) {
        reportError(tr("Error 440 (%1)").arg(QString::fromLocal8Bit(e.what())) + procedure);
    } catch (...) {
        reportError(tr("Error 440 (Unknown error)") + procedure);
    }
}

void PopupWindow::reportError(const QString &text)
{
    Q_EMIT errorReported(text);
    // Not modal: the popup's timer and the user's work go on while the report shows.
    auto *box = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void PopupWindow::Image1_Click()
{
    Unload();
    if (Queue *queue = addIn().queue)
        queue->RemoveAll();
}

void PopupWindow::Toolbar1_ButtonClick(int index)
{
    if (index != 1)
        return;
    deleteMessage(m_entryId, m_storeId);
}

void PopupWindow::deleteMessage(const QString &entryId, const QString &storeId)
{
    // Struck through only once the message has really gone to Trash.
    OlAddInInterface *controller = addIn().controller;
    const QString procedure = tr(" in procedure Toolbar1_ButtonClick of Form PopupWindow");
    if (!controller) {
        reportError(tr("Error 91 (Object variable not set)") + procedure);
        return;
    }
    if (!controller->DeleteMailMessage(entryId, storeId))
        reportError(tr("Error 440 (%1)").arg(controller->lastActionError()) + procedure);
    else if (entryId == m_entryId)
        setStrikeOut(true);
}

void PopupWindow::MarkAsRead()
{
    markRead(m_entryId, m_storeId);
}

void PopupWindow::markRead(const QString &entryId, const QString &storeId)
{
    OlAddInInterface *controller = addIn().controller;
    const QString procedure = tr(" in procedure MarkAsRead of Form PopupWindow");
    if (!controller) {
        reportError(tr("Error 91 (Object variable not set)") + procedure);
        return;
    }
    // Nothing changes on screen: the message stays for its display time and the next follows.
    if (!controller->MarkMailMessageRead(entryId, storeId))
        reportError(tr("Error 440 (%1)").arg(controller->lastActionError()) + procedure);
}

void PopupWindow::contextMenuEvent(QContextMenuEvent *event)
{
    showContextMenu(event->globalPos());
    event->accept();
}

void PopupWindow::showContextMenu(const QPoint &globalPos)
{
    if (!m_showing)
        return;
    if (!m_mnuPopup) {
        m_mnuPopup = new QMenu(this);
        m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
        const auto add = [this](const char *name, const QString &caption, auto handler) {
            QAction *action = m_mnuPopup->addAction(caption);
            action->setObjectName(QLatin1String(name));
            connect(action, &QAction::triggered, this, handler);
            return action;
        };
        add("mnuOpen", tr("&Open"), [this] { openMessage(m_menuEntryId, m_menuStoreId); });
        add("mnuMarkRead", tr("Mark as &Read"), [this] { markRead(m_menuEntryId, m_menuStoreId); });
        add("mnuDelete", tr("&Delete"), [this] { deleteMessage(m_menuEntryId, m_menuStoreId); });
        m_mnuPopup->addSeparator();
        add("mnuDismissAll", tr("Dismiss &All"), [this] { Image1_Click(); });
        connect(m_mnuPopup, &QMenu::aboutToHide, this, [this] {
            // A tick held while the menu was open waits no longer, unless the pointer is back.
            if (m_showing && m_heldByPointer && !m_pointerOver && !underMouse()) {
                m_heldByPointer = false;
                Toolbar1_MouseMove();
            }
        });
    }
    m_menuEntryId = m_entryId;
    m_menuStoreId = m_storeId;
    // The test popup and the queue's summary name no message to act on.
    const bool names = !m_entryId.isEmpty();
    for (QAction *action : m_mnuPopup->actions()) {
        if (action->objectName() == QLatin1String("mnuOpen") || action->objectName() == QLatin1String("mnuMarkRead"))
            action->setEnabled(names);
        else if (action->objectName() == QLatin1String("mnuDelete"))
            action->setEnabled(names && !m_toolbar1->isHidden()); // deleting from the popup is a setting
    }
    m_mnuPopup->popup(globalPos);
}

void PopupWindow::Toolbar1_MouseMove()
{
    m_heldByPointer = false;
    m_tmrMain->setEnabled(false);
    m_state = Waiting;
    m_tmrMain->setInterval(m_duration);
    m_tmrMain->setEnabled(true);
}

} // namespace lumora
