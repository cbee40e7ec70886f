#pragma once

#include "popup/Picture.h"
#include "popup/PopupError.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>

class QEnterEvent;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QToolButton;

namespace lumora {

class PopupWindowsManager;
class Timer;

// The new-mail notification window: a small, frameless, top-most window that grows out
// of a screen position, shows the queued messages one after another on a gradient
// background, and shrinks away. One object serves every showing; its style properties
// survive between showings.
class PopupWindow : public QWidget
{
    Q_OBJECT
public:
    // Animation states of a showing.
    enum State {
        SlidingIn = 0,
        Waiting = 1,
        SlidingOut = 2
    };

    static constexpr int AnimationStep = 8;
    static constexpr int AnimationTick = 50;
    static constexpr int InvalidDurationError = 1000;

    explicit PopupWindow(QWidget *parent = nullptr);
    ~PopupWindow() override;

    // Style properties (see the class comment); setters store the value unchanged
    // unless stated otherwise.
    qint32 TextShiftY() const { return m_textShiftY; }
    void setTextShiftY(qint32 value) { m_textShiftY = value; }
    // PopupAlignment value; also the corner whose slot a showing releases.
    qint32 Align() const { return m_align; }
    void setAlign(qint32 value) { m_align = value; }
    bool AutoClose() const { return m_autoClose; }
    void setAutoClose(bool value) { m_autoClose = value; }
    // 0 none, 1 left edge moves right, 2 right edge moves left, 3 top edge moves down,
    // 4 bottom edge moves up.
    qint32 AnimationOut() const { return m_animationOut; }
    void setAnimationOut(qint32 value) { m_animationOut = value; }
    // 0 none, 1 right edge moves right, 2 left edge moves left, 3 bottom edge moves down,
    // 4 top edge moves up.
    qint32 AnimationIn() const { return m_animationIn; }
    void setAnimationIn(qint32 value) { m_animationIn = value; }
    // Screen position of the fully shown window.
    qint32 Y() const { return m_y; }
    void setY(qint32 value) { m_y = value; }
    qint32 X() const { return m_x; }
    void setX(qint32 value) { m_x = value; }
    QString SoundPath() const { return m_soundPath; }
    void setSoundPath(const QString &value) { m_soundPath = value; }
    // Colours are 0x00BBGGRR.
    qint32 GradientColor2() const { return m_gradientColor2; }
    void setGradientColor2(qint32 value) { m_gradientColor2 = value; }
    qint32 GradientColor1() const { return m_gradientColor1; }
    void setGradientColor1(qint32 value) { m_gradientColor1 = value; }
    // Milliseconds each message stays; 0 keeps it until the user acts. Values outside
    // 0..65535 are refused (lastError() says why) and the old value stays.
    qint32 Duration() const { return m_duration; }
    bool setDuration(qint32 value);
    qint32 MaskColor() const { return m_maskColor; }
    void setMaskColor(qint32 value) { m_maskColor = value; }
    bool UseMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool value) { m_useMaskColor = value; }
    qint32 PopupPictureX() const { return m_pictureX; }
    void setPopupPictureX(qint32 value) { m_pictureX = value; }
    qint32 PopupPictureY() const { return m_pictureY; }
    void setPopupPictureY(qint32 value) { m_pictureY = value; }
    // Shared, not copied: the caller's picture object is the one painted.
    PicturePtr PopupPicture() const { return m_picture; }
    void setPopupPicture(PicturePtr value) { m_picture = std::move(value); }
    QString Message() const { return m_message; }
    void setMessage(const QString &value) { m_message = value; }
    // The popup's own font objects: setters copy the attributes in, getters hand out the
    // object itself so a caller may change it in place. A null font changes nothing.
    QFont &MessageFont() { return m_messageFont; }
    void setMessageFont(const QFont *font) { copyFont(font, m_messageFont); }
    void setMessageFont(const QFont &font) { copyFont(&font, m_messageFont); }
    QFont &MessageFontOver() { return m_messageFontOver; }
    void setMessageFontOver(const QFont *font) { copyFont(font, m_messageFontOver); }
    void setMessageFontOver(const QFont &font) { copyFont(&font, m_messageFontOver); }
    qint32 MessageForeColor() const { return m_foreColor; }
    void setMessageForeColor(qint32 value) { m_foreColor = value; }
    qint32 MessageForeColorHigh() const { return m_foreColorHigh; }
    void setMessageForeColorHigh(qint32 value) { m_foreColorHigh = value; }
    qint32 MessageForeColorOver() const { return m_foreColorOver; }
    void setMessageForeColorOver(qint32 value) { m_foreColorOver = value; }
    // 0 horizontal (colour 1 left), anything else vertical (colour 1 top).
    qint32 GradientOrientation() const { return m_gradientOrientation; }
    void setGradientOrientation(qint32 value) { m_gradientOrientation = value; }

    // The last refused property value; cleared by the next accepted one.
    const PopupError &lastError() const { return m_lastError; }

    // Starts a showing of the queued mail; an empty queue ends it at once. Called by the
    // manager, which passes itself and the slot it gave the popup.
    void ShowPopup(PopupWindowsManager *manager, qint32 &slot);
    // Starts a showing with fixed sample content, whatever the queue holds.
    void ShowTestPopup(PopupWindowsManager *manager, qint32 &slot);
    // Ends the showing: timer off, window hidden, slot handed back to the manager.
    void Unload();
    // True from the start of a showing until its unload.
    bool isShowing() const { return m_showing; }
    State animationState() const { return m_state; }
    // The retained background of the current showing.
    const QPixmap &surfaceImage() const { return m_surfaceImage; }

    // Pointer and button handlers of the window's parts; wired to the widgets' events.
    void lblFolder_MouseMove();
    void lblFrom_MouseMove();
    void lblMessage_MouseMove();
    void pctMain_MouseMove();
    void Field_MouseUp(Qt::MouseButton button);
    void Image1_Click();
    void Toolbar1_ButtonClick(int index);
    void Toolbar1_MouseMove();
    // Marks the shown message read; the popup goes on to the next one as after a delete.
    void MarkAsRead();
    // Opens the right-click menu (Open, Mark as Read, Delete, Dismiss All) at a screen
    // position. Its items act on the message shown when it opened, and the message stays
    // on screen while the menu is open.
    void showContextMenu(const QPoint &globalPos);
    // The right-click menu, created on first use; null before.
    QMenu *contextMenu() const { return m_mnuPopup; }

    // The message on screen (empty ids for the test popup and the queue's summary).
    QString shownEntryId() const { return m_entryId; }
    QString shownStoreId() const { return m_storeId; }

Q_SIGNALS:
    // An error report that is also shown to the user in a message box.
    void errorReported(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void createParts();
    void prepareBackground();
    // Sets the close and delete buttons' pictures for a device pixel ratio.
    void drawButtons(qreal ratio);
    void DrawGradient();
    void DrawPopupPicture();
    bool DrawMaskedBitmap(QPainter &dest, const QRect &destRect, const QImage &source, const QRect &sourceRect,
                          qint32 transparentColor) const;
    QString FitText(const QLabel &sizer, const QString &text) const;
    // False when no record is left that is still worth showing.
    bool ShowNextMessage();
    void startShowing();
    void tmrMain_Timer();
    void setWindowRect(int x, int y, int w, int h, bool noMove);
    void applyFieldStyle(const QFont &font, qint32 color);
    void setStrikeOut(bool on);
    void OpenEmailMessage(Qt::MouseButton button);
    // The actions behind the menu's items, on the message with these ids.
    void openMessage(const QString &entryId, const QString &storeId);
    void markRead(const QString &entryId, const QString &storeId);
    void deleteMessage(const QString &entryId, const QString &storeId);
    void showCounter(const QString &text);
    void reportError(const QString &text);
    static void copyFont(const QFont *from, QFont &to);

    // Style
    qint32 m_textShiftY = 0;
    qint32 m_align = 3;
    bool m_autoClose = true;
    qint32 m_animationOut = 3;
    qint32 m_animationIn = 4;
    qint32 m_y = 0;
    qint32 m_x = 0;
    QString m_soundPath;
    qint32 m_gradientColor2 = 0xFFFFFF;
    qint32 m_gradientColor1 = 0;
    qint32 m_duration = 4000;
    qint32 m_maskColor = 0x0000FF;
    bool m_useMaskColor = true;
    qint32 m_pictureX = 6;
    qint32 m_pictureY = 3;
    PicturePtr m_picture;
    QString m_message;
    QFont m_messageFont;
    QFont m_messageFontOver;
    qint32 m_foreColor = 0;
    qint32 m_foreColorHigh = 0x0000FF;
    qint32 m_foreColorOver = 0xFF0000;
    qint32 m_gradientOrientation = 1;
    PopupError m_lastError;

    // Per showing
    QPointer<PopupWindowsManager> m_manager;
    qint32 m_slot = 0;
    // The corner the slot was taken from, so a settings change during a showing cannot
    // strand the slot in the old corner.
    qint32 m_slotAlign = 0;
    int m_cxBorders = 0;
    int m_cyBorders = 0;
    int m_bx = 0;
    int m_by = 0;
    State m_state = Waiting;
    bool m_showing = false;
    // A waiting tick came while the pointer was over the window: the shown message stays
    // until the pointer leaves.
    bool m_heldByPointer = false;
    // The pointer is over the window or one of its parts (entered or moved, not yet left).
    bool m_pointerOver = false;
    QString m_entryId;
    QString m_storeId;
    QPixmap m_surfaceImage;

    // Parts
    QWidget *m_pctMain = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_lblMsgNo = nullptr;
    QLabel *m_lblFolder = nullptr;
    QLabel *m_lblFrom = nullptr;
    QLabel *m_lblMessage = nullptr;
    QLabel *m_lblSizer = nullptr;
    QLabel *m_lblSizer2 = nullptr;
    QLabel *m_image1 = nullptr;
    QToolButton *m_toolbar1 = nullptr;
    qreal m_buttonsRatio = 0;
    std::unique_ptr<Timer> m_tmrMain;
    QMenu *m_mnuPopup = nullptr;
    // The ids of the message shown when the menu opened.
    QString m_menuEntryId;
    QString m_menuStoreId;
};

} // namespace lumora
