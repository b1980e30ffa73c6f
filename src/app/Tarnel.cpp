#include "app/Tarnel.h"

#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressListFormat.h"
#include "alarm/AlarmClock.h"
#include "core/AppPaths.h"
#include "app/Dialogs.h"
#include "core/Failure.h"
#include "app/FieldEdit.h"
#include "wake/MagicPacket.h"
#include "settingsfile/SettingsFile.h"
#include "netbios/MacLookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

namespace {

// A button whose caption breaks at its blanks when it does not fit on one line,
// as "MACアドレス 取得" must on its two-line button.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        QString caption = option.text;
        option.text.clear();
        const QRect area = rect().adjusted(2, 1, -2, -1);
        if (fontMetrics().horizontalAdvance(caption) > area.width())
            caption.replace(u' ', u'\n');
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.setFont(font());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
    }
};

// The window was laid out in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// "MS UI Gothic" and the fixed-pitch "ＭＳ ゴシック", with the Japanese fonts a
// Linux desktop has in their place. Sizes in pixels at 96 dpi, so every text
// fits the fixed layout whatever the screen's font settings.
QFont uiGothic(int pixels, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont fixedGothic(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixels);
    return font;
}

constexpr int Px975 = 13;  // 9.75 points
constexpr int Px1125 = 15; // 11.25 points
constexpr int Px12 = 16;   // 12 points

const QString HeadingStyle = QStringLiteral("background-color:#CCDDFF; border:1px solid #7F7F7F;");
const QString GreyStyle = QStringLiteral("background-color:#E0E0E0;");

const QString WindowCaption = QStringLiteral("Tarnel! - Wake On Lan");

} // namespace

Tarnel::Tarnel(const TarnelServices& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("Tarnel"));
    setWindowTitle(WindowCaption);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(6120 / 15, 7650 / 15);
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/tarnel-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    m_addressFile = std::make_unique<AddressBookFile>(dataFilePath(m_services.dataDir, QStringLiteral("address.lst")));
    m_alarmClock = std::make_unique<AlarmClock>(*m_services.clock);
    buildControls();
    connectHandlers();
    // The clock runs from the moment the window exists, shown or hidden.
    Timer1->start();
}

Tarnel::~Tarnel()
{
    // The controls outlive this part of the window by a little: the focus
    // leaving a box as they go must not run a handler of a window that is gone.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void Tarnel::buildControls()
{
    auto label = [](QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setGeometry(geometry);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto button = [](QWidget* parent, const QString& name, const QString& caption, const QRect& geometry, bool bold) {
        auto* b = new WrappingButton(caption, parent);
        b->setObjectName(name);
        b->setGeometry(geometry);
        b->setFont(uiGothic(Px975, bold));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::ClickFocus);
        return b;
    };
    auto field = [](QWidget* parent, const QString& name, const QString& text, int limit, const QRect& geometry,
                    const QFont& font) {
        auto* f = new FieldEdit(parent, limit);
        f->setObjectName(name);
        f->setGeometry(geometry);
        f->setFont(font);
        f->setTextMargins(0, 0, 0, 0);
        f->setText(text);
        return f;
    };
    auto line = [this](const QString& name, int y) {
        auto* l = new QFrame(this);
        l->setObjectName(name);
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Sunken);
        l->setGeometry(120 / 15, y / 15 - 1, (6000 - 120) / 15, 2);
    };

    // Banner.
    QLabel* banner = label(this, QStringLiteral("Label3_1"), QString(), twips(120, 120, 5895, 495));
    banner->setStyleSheet(QStringLiteral("background-color:#C8E6FF;"));
    QLabel* bannerText =
        label(this, QStringLiteral("Label3_0"), QStringLiteral("Magic Packet を送信してコンピュータの電源を入れます"),
              twips(180, 240, 5775, 255));
    bannerText->setFont(uiGothic(Px975, true));

    // Port and repeat count.
    auto* frame3 = new QFrame(this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    frame3->setFrameShape(QFrame::Box);
    frame3->setFrameShadow(QFrame::Sunken);
    frame3->setGeometry(twips(120, 720, 3015, 495));
    label(frame3, QStringLiteral("Label6_1"), QStringLiteral("PortNo"), twips(120, 150, 855, 285))
        ->setFont(fixedGothic(Px1125));
    PortNo = field(frame3, QStringLiteral("PortNo"), QStringLiteral("9001"), 4, twips(960, 150, 615, 280),
                   fixedGothic(Px975));
    label(frame3, QStringLiteral("Label6_2"), QStringLiteral("Retry"), twips(1560, 150, 855, 285))
        ->setFont(fixedGothic(Px1125));
    Text3 =
        field(frame3, QStringLiteral("Text3"), QStringLiteral("1"), 1, twips(2400, 150, 375, 280), fixedGothic(Px975));
    PortNo->setStyleSheet(GreyStyle);
    Text3->setStyleSheet(GreyStyle);

    NowStr = label(this, QStringLiteral("NowStr"), QStringLiteral("Now"), twips(3480, 840, 2535, 255));
    NowStr->setFont(fixedGothic(Px1125));

    line(QStringLiteral("Line1_1"), 1320);
    line(QStringLiteral("Line1_0"), 4680);
    line(QStringLiteral("Line2"), 6600);

    // Section headings.
    const std::array<QString, 5> headings = {QStringLiteral(" コンピュータ選択"), QStringLiteral(" MACアドレス"),
                                             QStringLiteral(" 送信先ホスト"), QStringLiteral(" リストから選択"),
                                             QStringLiteral(" アラーム設定")};
    const std::array<int, 5> headingTops = {4800, 2400, 1920, 1440, 2880};
    for (int i = 0; i < 5; ++i) {
        Label1[i] = label(this, QStringLiteral("Label1_%1").arg(i), headings[i],
                          twips(120, headingTops[i], 1815, i == 0 ? 1095 : 375));
        Label1[i]->setFont(uiGothic(Px1125, true));
        Label1[i]->setStyleSheet(HeadingStyle);
        Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    Label1[0]->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twips(2040, 1440, 2415, 345));
    Combo1->setFont(fixedGothic(Px1125));
    Combo1->setStyleSheet(QStringLiteral("QComboBox { background-color:#FFFFDD; }"));
    Combo1->setFocusPolicy(Qt::ClickFocus);
    Combo1->setMaxVisibleItems(20);
    Combo1->installEventFilter(this);

    host = field(this, QStringLiteral("host"), QStringLiteral("255.255.255.255"), 15, twips(2040, 1920, 2175, 375),
                 fixedGothic(Px12));
    host->setFocusPolicy(Qt::ClickFocus);
    PortNo->setFocusPolicy(Qt::ClickFocus);
    Text3->setFocusPolicy(Qt::ClickFocus);

    for (int i = 0; i < 6; ++i)
        Text1[i] = field(this, QStringLiteral("Text1_%1").arg(i), QStringLiteral("00"), 2,
                         twips(2040 + 360 * i, 2400, 375, 375), fixedGothic(Px12));

    // Alarm slots: slot 0 every day, slot k the weekday k with Sunday as 1.
    struct Slot {
        int left, top, labelIndex, labelLeft, labelTop;
        const char16_t* day;
    };
    const std::array<Slot, 8> slots = {{{2640, 2880, 0, 2040, 3000, u"毎日"},
                                        {3600, 3735, 7, 3240, 3840, u"日"},
                                        {960, 3375, 1, 600, 3480, u"月"},
                                        {960, 3750, 2, 600, 3840, u"火"},
                                        {960, 4125, 3, 600, 4200, u"水"},
                                        {2280, 3360, 4, 1920, 3480, u"木"},
                                        {2280, 3735, 5, 1920, 3840, u"金"},
                                        {3600, 3360, 6, 3240, 3480, u"土"}}};
    for (int s = 0; s < 8; ++s) {
        const Slot& slot = slots[s];
        Text2[s] = field(this, QStringLiteral("Text2_%1").arg(s), QStringLiteral("__:__"), 5,
                         twips(slot.left, slot.top, 855, 375), fixedGothic(Px12));
        QLabel* day = label(this, QStringLiteral("Label4_%1").arg(slot.labelIndex), QString::fromUtf16(slot.day),
                            twips(slot.labelLeft, slot.labelTop, slot.labelIndex == 0 ? 495 : 255, 255));
        day->setFont(uiGothic(Px975));
        if (slot.labelIndex == 7)
            day->setStyleSheet(QStringLiteral("color:#800000;"));
        else if (slot.labelIndex == 6)
            day->setStyleSheet(QStringLiteral("color:#0000FF;"));
        Label4[slot.labelIndex] = day;
    }

    Command1 =
        button(this, QStringLiteral("Command1"), QStringLiteral("１台に送信"), twips(4560, 1440, 1455, 375), true);
    Command6 = button(this, QStringLiteral("Command6"), QStringLiteral("MACアドレス 取得"),
                      twips(4560, 1920, 1455, 495), true);

    auto* frame1 = new QGroupBox(QStringLiteral("リスト"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(twips(4560, 2520, 1455, 1935));
    frame1->setFont(uiGothic(Px975));
    const std::array<QString, 3> editCaptions = {QStringLiteral("追加"), QStringLiteral("変更"),
                                                 QStringLiteral("削除")};
    for (int i = 0; i < 3; ++i)
        Command3[i] = button(frame1, QStringLiteral("Command3_%1").arg(i), editCaptions[i],
                             twips(240, 360 + 480 * i, 975, 375), false);

    Command8 = button(this, QStringLiteral("Command8"), QStringLiteral("クリア"), twips(3600, 4200, 855, 375), false);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twips(2040, 4800, 2415, 1635));
    List1->setFont(fixedGothic(Px1125));
    List1->setSortingEnabled(false);
    List1->setUniformItemSizes(true);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setFocusPolicy(Qt::ClickFocus);

    Command4 = button(this, QStringLiteral("Command4"), QStringLiteral("一括送信"), twips(4560, 4800, 1455, 375), true);

    auto* frame2 = new QGroupBox(QStringLiteral("すべて"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(twips(4560, 5280, 1455, 1215));
    frame2->setFont(uiGothic(Px975));
    Command7[0] =
        button(this, QStringLiteral("Command7_0"), QStringLiteral("選択"), twips(4800, 5520, 975, 375), false);
    Command7[1] =
        button(this, QStringLiteral("Command7_1"), QStringLiteral("解除"), twips(4800, 6000, 975, 375), false);

    Msg = label(this, QStringLiteral("Msg"), QString(), twips(120, 6840, 2775, 375));
    Msg->setFont(uiGothic(Px1125));
    Msg->setStyleSheet(QStringLiteral("background-color:#E0E0E0; border:1px solid #7F7F7F;"));
    Msg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Command5 = button(this, QStringLiteral("Command5"), QStringLiteral("終了"), twips(3000, 6840, 1455, 375), true);
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("閉じる"), twips(4560, 6840, 1455, 375), true);

    Check1 = new QCheckBox(QStringLiteral("起動時、タスクトレイに入れる"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twips(120, 7320, 4335, 255));
    Check1->setFont(uiGothic(Px975));
    Check1->setChecked(true);
    Check1->setFocusPolicy(Qt::ClickFocus);

    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("Version 1.2"), twips(4560, 7320, 1575, 255));
    QFont times;
    times.setFamilies(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    times.setStyleHint(QFont::Serif);
    times.setPixelSize(Px975);
    times.setBold(true);
    Label2->setFont(times);
    Label2->setStyleSheet(QStringLiteral("color:#5077AA;"));

    // The Tab order; the fourteen boxes are the only Tab stops in it.
    QList<QWidget*> order = {Combo1, host};
    for (FieldEdit* box : Text1)
        order.append(box);
    order.append(Text2[0]);
    for (int s = 2; s <= 7; ++s)
        order.append(Text2[s]);
    order.append(Text2[1]);
    order += QList<QWidget*>{Command1, List1,       Command4,    Command7[0], Command7[1], Command2, Command5, PortNo,
                             Text3,    Command3[2], Command3[1], Command3[0], Command6,    Command8, Check1};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
}

void Tarnel::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Tarnel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Tarnel::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, &Tarnel::Command5_Click);
    connect(Command4, &QPushButton::clicked, this, &Tarnel::Command4_Click);
    connect(Command8, &QPushButton::clicked, this, &Tarnel::Command8_Click);
    for (int i = 0; i < 3; ++i)
        connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(Command7[i], &QPushButton::clicked, this, [this, i] { Command7_Click(i); });
    // A choice by the user, with the mouse, the keys or the wheel; the
    // program's own choices call the handler themselves (selectEntry).
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Command6, &QPushButton::clicked, this, &Tarnel::Command6_Click);
    connect(Timer1, &QTimer::timeout, this, &Tarnel::Timer1_Timer);

    for (int i = 0; i < 6; ++i) {
        connect(Text1[i], &FieldEdit::gotFocus, this, [this, i] { Text1_GotFocus(i); });
        connect(Text1[i], &FieldEdit::keyDown, this, [this, i](int key) { Text1_KeyDown(i, key); });
    }
    for (int i = 0; i < 8; ++i) {
        connect(Text2[i], &FieldEdit::gotFocus, this, [this, i] { Text2_GotFocus(i); });
        connect(Text2[i], &FieldEdit::lostFocus, this, [this, i] { Text2_LostFocus(i); });
        connect(Text2[i], &FieldEdit::keyDown, this, [this, i](int key) { Text2_KeyDown(i, key); });
    }
    connect(host, &FieldEdit::gotFocus, this, &Tarnel::host_GotFocus);
    connect(host, &FieldEdit::keyDown, this, [this](int key) { host_KeyDown(key); });
    connect(PortNo, &FieldEdit::gotFocus, this, &Tarnel::PortNo_GotFocus);
    connect(PortNo, &FieldEdit::keyDown, this, [this](int key) { PortNo_KeyDown(key); });
    connect(Text3, &FieldEdit::gotFocus, this, &Tarnel::Text3_GotFocus);
    connect(Text3, &FieldEdit::keyDown, this, [this](int key) { Text3_KeyDown(key); });
}

bool Tarnel::eventFilter(QObject* watched, QEvent* event)
{
    // Scrolling over the window must not change the computer being edited.
    if (watched == Combo1 && event->type() == QEvent::Wheel && !Combo1->hasFocus()) {
        event->ignore();
        return true;
    }
    if (watched == Combo1 && event->type() == QEvent::KeyPress)
        Combo1_KeyDown(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void Tarnel::setStatus(const QString& text, const QString& tip)
{
    Msg->setText(text);
    Msg->setToolTip(tip);
}

void Tarnel::showFailure(const Failure& failure)
{
    const QString text = statusTextFor(failure);
    setStatus(text, text == QStringLiteral("OK") ? QString() : failure.description());
}

std::array<QString, 6> Tarnel::macTexts() const
{
    std::array<QString, 6> texts;
    for (int j = 0; j < 6; ++j)
        texts[j] = Text1[j]->text();
    return texts;
}

void Tarnel::Form_Load()
{
    // Centre on the whole screen, by the outer size of the window.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->geometry();
        const QRect frame = frameGeometry();
        const int top = int(available.height() / 2.0 - frame.height() / 2.0);
        const int left = int(available.width() / 2.0 - frame.width() / 2.0);
        move(available.left() + left, available.top() + top);
    }
    registerTrayIcon();
    LoadSettings();
    LoadAddressList();
    Label1[0]->setText(QStringLiteral("コンピュータ選択\r\n\r\n　(複数選択可)"));
    hide();
    if (!Check1->isChecked() || !trayIconShown())
        show();
    m_loaded = true;
}

void Tarnel::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    try {
        removeTrayIcon();
    } catch (...) {
    }
    try {
        SaveSettings();
    } catch (...) {
    }
}

void Tarnel::unload()
{
    Form_Unload();
    QCoreApplication::quit();
}

void Tarnel::closeEvent(QCloseEvent* event)
{
    // The close box ends the program, as "終了" does; only "閉じる" hides.
    event->accept();
    unload();
}

void Tarnel::Command1_Click()
{
    try {
        setStatus(QStringLiteral("WAIT"));
        sendMagicPacket(*m_services.sender, macTexts(), host->text(), PortNo->text(), Text3->text());
        setStatus(QStringLiteral("OK"));
    } catch (const Failure& failure) {
        showFailure(failure);
    } catch (...) {
        setStatus(QStringLiteral("ERROR:0"));
    }
}

void Tarnel::Command2_Click()
{
    // With no notification area a hidden window could not be brought back.
    updateTrayPresence();
    if (trayIconShown())
        hide();
    else
        showMinimized();
}

void Tarnel::Command5_Click()
{
    unload();
}

void Tarnel::LoadSettings()
{
    SettingsValues current;
    current.port = PortNo->text();
    current.repeat = Text3->text();
    current.startInTray = Check1->isChecked();
    const SettingsValues loaded =
        loadSettingsFile(dataFilePath(m_services.dataDir, QStringLiteral("tarnel.ini")), current);
    PortNo->setText(loaded.port);
    Text3->setText(loaded.repeat);
    Check1->setChecked(loaded.startInTray);
}

void Tarnel::SaveSettings()
{
    SettingsValues values;
    values.port = PortNo->text();
    values.repeat = Text3->text();
    values.startInTray = Check1->isChecked();
    QString error;
    const QString path = dataFilePath(m_services.dataDir, QStringLiteral("tarnel.ini"));
    if (!saveSettingsFile(path, values, &error))
        std::fprintf(stderr, "tarnel: could not save %s: %s\n", qPrintable(path), qPrintable(error));
}

bool Tarnel::trayIconShown() const
{
    return m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void Tarnel::registerTrayIcon()
{
    if (!m_services.useTray)
        return;
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("TrayIcon"));
    m_tray->setToolTip(WindowCaption);
    // Only a left-button press brings the window up; a double click acts
    // through its first press, and there is no menu.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            bringUp();
    });
    m_tray->show();
    updateTrayPresence();
    // A notification area may appear or be restarted later: the icon goes
    // back into it, and the window gives up or takes back its taskbar button.
    m_trayWatch = new QTimer(this);
    m_trayWatch->setInterval(3000);
    connect(m_trayWatch, &QTimer::timeout, this, &Tarnel::updateTrayPresence);
    m_trayWatch->start();
}

void Tarnel::removeTrayIcon()
{
    if (m_trayWatch)
        m_trayWatch->stop();
    if (m_tray)
        m_tray->hide();
}

void Tarnel::updateTrayPresence()
{
    const bool available = m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
    const Qt::WindowType wanted = available ? Qt::Tool : Qt::Window;
    if (windowType() == wanted)
        return;
    const bool wasVisible = isVisible();
    const QPoint position = pos();
    setWindowFlags(wanted | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    move(position);
    // A window hidden in a notification area that has gone would be lost:
    // it comes back with its taskbar button. Form_Load decides at start-up.
    if (wasVisible || (!available && m_loaded))
        show();
}

void Tarnel::bringUp()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

// ---- Address book ----

namespace {

const QString NamePrompt = QStringLiteral("名前を入力して下さい");

} // namespace

void Tarnel::appendListItems(int from)
{
    QStringList names;
    names.reserve(m_book.size() - from);
    for (int i = from; i < m_book.size(); ++i)
        names.append(m_book.at(i).name);
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->addItems(names);
    }
    for (const QString& name : std::as_const(names)) {
        auto* item = new QListWidgetItem(name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        List1->addItem(item);
    }
}

void Tarnel::selectEntry(int index)
{
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->setCurrentIndex(index);
    }
    Combo1_Click();
}

void Tarnel::LoadAddressList()
{
    m_book.clear();
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->clear();
    }
    List1->clear();
    AddressListLoad load = m_addressFile->load();
    m_book = std::move(load.book);
    appendListItems(0);
    if (Combo1->count() > 0)
        selectEntry(0);
}

void Tarnel::SaveAddressList()
{
    const AddressBookFile::SaveResult result = m_addressFile->save(m_book);
    if (result.backedUp)
        m_services.dialogs->messageBox(
            this,
            QStringLiteral("アドレス帳ファイルの一部を読み込めなかったため、元のファイルを「%1」として残しました。")
                .arg(QFileInfo(m_addressFile->backupPath()).fileName()),
            QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Dialogs::Answer::Ok);
    if (!result.saved)
        m_services.dialogs->messageBox(this, QStringLiteral("アドレス帳を保存できませんでした。\n%1").arg(result.error),
                                       QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                                       Dialogs::Answer::Ok);
}

void Tarnel::Combo1_Click()
{
    if (Combo1->count() == 0)
        return;
    const int k = Combo1->currentIndex();
    if (k < 0 || k >= m_book.size())
        return;
    const AddressEntry& entry = m_book.at(k);
    host->setText(entry.host);
    for (int j = 0; j < 6; ++j)
        Text1[j]->setText(entry.mac[j]);
    for (int s = 0; s < 8; ++s)
        Text2[s]->setText(entry.alarms[s]);
}

AddressEntry Tarnel::entryFromFields(const QString& name) const
{
    AddressEntry entry;
    entry.name = name;
    entry.host = host->text();
    for (int j = 0; j < 6; ++j)
        entry.setMac(j, Text1[j]->text());
    for (int s = 0; s < 8; ++s)
        entry.alarms[s] = Text2[s]->text();
    return entry;
}

bool Tarnel::refuseUnstorable(const QString& name)
{
    QStringList texts = {name, host->text()};
    for (FieldEdit* box : Text1)
        texts.append(box->text());
    for (FieldEdit* box : Text2)
        texts.append(box->text());
    for (const QString& text : std::as_const(texts)) {
        if (!isStorableInAddressLine(text)) {
            m_services.dialogs->messageBox(
                this,
                QStringLiteral("名前、送信先ホスト、MACアドレス、アラーム設定には「,」(カンマ) や改行を使えません。"),
                QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Dialogs::Answer::Ok);
            return true;
        }
    }
    return false;
}

void Tarnel::Command3_Click(int index)
{
    try {
        if (index == 0) {
            const QString name = m_services.dialogs->inputBox(this, NamePrompt, QString(), QString());
            if (!name.isEmpty()) {
                if (refuseUnstorable(name))
                    return;
                if (m_book.isFull()) {
                    m_services.dialogs->messageBox(
                        this,
                        QStringLiteral("アドレス帳には %1 件までしか登録できません。").arg(AddressBook::MaxEntries),
                        QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Dialogs::Answer::Ok);
                    return;
                }
                const int n = m_book.size();
                m_book.append(entryFromFields(name));
                appendListItems(n);
                selectEntry(n);
            }
        } else if (index == 1) {
            const int k = Combo1->currentIndex();
            if (k >= 0) {
                const QString name = m_services.dialogs->inputBox(this, NamePrompt, QString(), m_book.at(k).name);
                if (name.isEmpty() || refuseUnstorable(name))
                    return;
                m_book.replace(k, entryFromFields(name));
                {
                    const QSignalBlocker blocker(Combo1);
                    Combo1->setItemText(k, name);
                }
                List1->item(k)->setText(name);
            }
        } else if (index == 2) {
            const int k = Combo1->currentIndex();
            if (k >= 0) {
                const Dialogs::Answer answer = m_services.dialogs->messageBox(
                    this, QStringLiteral("リストから削除しますか？"), QStringLiteral("確認"), Dialogs::Buttons::YesNo,
                    Dialogs::Icon::None, Dialogs::Answer::No);
                if (answer != Dialogs::Answer::Yes)
                    return;
                m_book.removeAt(k);
                {
                    const QSignalBlocker blocker(Combo1);
                    Combo1->removeItem(k);
                }
                delete List1->takeItem(k);
                selectEntry(k > Combo1->count() - 1 ? Combo1->count() - 1 : k);
            }
        } else {
            return;
        }
        SaveAddressList();
    } catch (...) {
        // Editing reports nothing of its own; the book stays consistent.
    }
}

bool Tarnel::WakeEntry(int index)
{
    try {
        const AddressEntry& entry = m_book.at(index);
        sendMagicPacket(*m_services.sender, entry.mac, entry.host, PortNo->text(), Text3->text());
        return true;
    } catch (const Failure& failure) {
        showFailure(failure);
        return failure.number() == Failure::TreatedAsSuccess;
    } catch (...) {
        setStatus(QStringLiteral("ERROR:0"));
        return false;
    }
}

void Tarnel::Command4_Click()
{
    setStatus(QStringLiteral("WAIT"));
    bool allSent = true;
    const int n = List1->count();
    for (int i = 0; i < n; ++i)
        if (List1->item(i)->checkState() == Qt::Checked && !WakeEntry(i))
            allSent = false;
    // A failure stays in view: "OK" only when every marked entry was sent.
    if (allSent)
        setStatus(QStringLiteral("OK"));
}

void Tarnel::Command7_Click(int index)
{
    const Qt::CheckState mark = index == 0 ? Qt::Checked : Qt::Unchecked;
    const int n = List1->count();
    for (int i = 0; i < n; ++i)
        List1->item(i)->setCheckState(mark);
}

void Tarnel::Command8_Click()
{
    for (FieldEdit* box : Text2)
        box->setText(QStringLiteral("__:__"));
}

// ---- Keyboard ----

namespace {

// Enter, on either key that carries it.
bool isEnter(int keyCode)
{
    return keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter;
}

} // namespace

void Tarnel::selectWhole(FieldEdit* box)
{
    box->setSelection(0, int(box->text().size()));
}

void Tarnel::moveOnIfEnter(int keyCode)
{
    if (!isEnter(keyCode))
        return;
    // The Tab goes to whichever control has the focus when it is handled,
    // after this key handler has returned, exactly as a typed Tab would.
    QMetaObject::invokeMethod(
        this,
        [] {
            if (QWidget* focus = QApplication::focusWidget()) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
                QCoreApplication::sendEvent(focus, &press);
            }
        },
        Qt::QueuedConnection);
}

void Tarnel::Text1_GotFocus(int index)
{
    selectWhole(Text1[index]);
}

void Tarnel::Text2_GotFocus(int index)
{
    selectWhole(Text2[index]);
}

void Tarnel::Text2_LostFocus(int index)
{
    if (Text2[index]->text().isEmpty())
        Text2[index]->setText(QStringLiteral("__:__"));
}

void Tarnel::host_GotFocus()
{
    selectWhole(host);
}

void Tarnel::PortNo_GotFocus()
{
    selectWhole(PortNo);
}

void Tarnel::Text3_GotFocus()
{
    selectWhole(Text3);
}

void Tarnel::Text1_KeyDown(int, int keyCode)
{
    moveOnIfEnter(keyCode);
}

void Tarnel::Text2_KeyDown(int, int keyCode)
{
    moveOnIfEnter(keyCode);
}

void Tarnel::Combo1_KeyDown(int keyCode)
{
    moveOnIfEnter(keyCode);
}

void Tarnel::host_KeyDown(int keyCode)
{
    moveOnIfEnter(keyCode);
}

void Tarnel::PortNo_KeyDown(int keyCode)
{
    moveOnIfEnter(keyCode);
}

void Tarnel::Text3_KeyDown(int keyCode)
{
    moveOnIfEnter(keyCode);
}

// ---- Clock ----

void Tarnel::Timer1_Timer()
{
    try {
        const AlarmTick tick = m_alarmClock->tick(m_book);
        if (!tick.clockText.isEmpty())
            NowStr->setText(tick.clockText);
        for (int index : tick.toWake)
            WakeEntry(index);
    } catch (...) {
        // A tick reports nothing; the next one tries again.
    }
}

// ---- Get MAC ----

void Tarnel::Command6_Click()
{
    try {
        const QString prompt = QStringLiteral("IPアドレスを入力してください（自分の場合は * でもＯＫです）\r\n\r\n"
                                              "         Windows95 の場合は * 以外取得できません");
        QString text = m_services.dialogs->inputBox(this, prompt, QString(), QString());
        if (!text.isEmpty())
            text = m_services.macLookup ? m_services.macLookup(text) : lookUpMacAddress(text);
        if (text.size() != 12) {
            m_services.dialogs->messageBox(this, QStringLiteral("MACアドレスが取得できませんでした"), QString(),
                                           Dialogs::Buttons::Ok, Dialogs::Icon::None, Dialogs::Answer::Ok);
            return;
        }
        for (int j = 0; j < 6; ++j)
            Text1[j]->setText(text.mid(2 * j, 2));
        Text1[0]->setFocus(Qt::OtherFocusReason);
        // Select even when the box had the focus already and so gets no focus event.
        selectWhole(Text1[0]);
    } catch (...) {
    }
}
