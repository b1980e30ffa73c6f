#include "app/MainForm.h"

#include "app/FormStyle.h"
#include "app/LimitedLineEdit.h"
#include "app/MarkToggleDelegate.h"
#include "core/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace formstyle;

const QString MainForm::EmptyAlarm = QStringLiteral("__:__");

namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* makeHeading(QWidget* parent, const QString& name, const QString& text, int top, int height = 375)
{
    QLabel* heading = makeLabel(parent, name, text, twips(120, top, 1815, height));
    heading->setFont(uiGothic(Medium, true));
    heading->setStyleSheet(HeadingStyle);
    heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return heading;
}

// Buttons take the focus only from the mouse: Tab walks the boxes alone.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry, bool bold)
{
    auto* button = new WrappingButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(uiGothic(Small, bold));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::ClickFocus);
    return button;
}

LimitedLineEdit* makeEdit(QWidget* parent, const QString& name, const QString& text, int typingLimit,
                          const QRect& geometry, const QFont& font)
{
    auto* edit = new LimitedLineEdit(parent, typingLimit);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFont(font);
    edit->setTextMargins(0, 0, 0, 0);
    edit->setText(text);
    return edit;
}

void makeSeparator(QWidget* parent, const QString& name, int top)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(120 / 15, top / 15 - 1, (6000 - 120) / 15, 2);
}

QGroupBox* makeGroup(QWidget* parent, const QString& name, const QString& title, const QRect& geometry)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    group->setFont(uiGothic(Small));
    return group;
}

} // namespace

MainForm::MainForm(QWidget* window) : m_window(window)
{
    // Built in stacking order: later widgets are drawn over earlier ones.
    buildBanner();
    buildSettings();
    buildComputer();
    buildAlarms();
    buildBatch();
    buildFooter();
    setTabOrder();
    nameForScreenReaders();
    followPalette();
}

void MainForm::buildBanner()
{
    makeLabel(m_window, QStringLiteral("banner"), QString(), twips(120, 120, 5895, 495))->setStyleSheet(BannerStyle);
    QLabel* text =
        makeLabel(m_window, QStringLiteral("bannerText"),
                  QStringLiteral("Magic Packet を送信してコンピュータの電源を入れます"), twips(180, 240, 5775, 255));
    text->setFont(uiGothic(Small, true));
    text->setStyleSheet(BannerStyle); // over the banner, in its colours
}

void MainForm::buildSettings()
{
    auto* frame = new QFrame(m_window);
    frame->setObjectName(QStringLiteral("settingsFrame"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(twips(120, 720, 3015, 495));
    makeLabel(frame, QStringLiteral("portLabel"), QStringLiteral("PortNo"), twips(120, 150, 855, 285))
        ->setFont(fixedGothic(Medium));
    m_portEdit = makeEdit(frame, QStringLiteral("portEdit"), QStringLiteral("9001"), 4, twips(960, 150, 615, 280),
                          fixedGothic(Small));
    makeLabel(frame, QStringLiteral("repeatLabel"), QStringLiteral("Retry"), twips(1560, 150, 855, 285))
        ->setFont(fixedGothic(Medium));
    m_repeatEdit = makeEdit(frame, QStringLiteral("repeatEdit"), QStringLiteral("1"), 1, twips(2400, 150, 375, 280),
                            fixedGothic(Small));
    for (LimitedLineEdit* edit : {m_portEdit, m_repeatEdit}) {
        edit->setStyleSheet(SettingsBoxStyle);
        edit->setFocusPolicy(Qt::ClickFocus);
    }

    m_clockLabel =
        makeLabel(m_window, QStringLiteral("clockLabel"), QStringLiteral("Now"), twips(3480, 840, 2535, 255));
    m_clockLabel->setFont(fixedGothic(Medium));
    makeSeparator(m_window, QStringLiteral("settingsSeparator"), 1320);
}

void MainForm::buildComputer()
{
    makeHeading(m_window, QStringLiteral("computerHeading"), QStringLiteral(" リストから選択"), 1440);
    makeHeading(m_window, QStringLiteral("hostHeading"), QStringLiteral(" 送信先ホスト"), 1920);
    makeHeading(m_window, QStringLiteral("macHeading"), QStringLiteral(" MACアドレス"), 2400);

    m_computerCombo = new QComboBox(m_window);
    m_computerCombo->setObjectName(QStringLiteral("computerCombo"));
    m_computerCombo->setGeometry(twips(2040, 1440, 2415, 345));
    m_computerCombo->setFont(fixedGothic(Medium));
    m_computerCombo->setStyleSheet(ComboStyle);
    m_computerCombo->setFocusPolicy(Qt::ClickFocus);
    m_computerCombo->setMaxVisibleItems(20);

    m_hostEdit = makeEdit(m_window, QStringLiteral("hostEdit"), QStringLiteral("255.255.255.255"), 15,
                          twips(2040, 1920, 2175, 375), fixedGothic(Large));
    m_hostEdit->setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i < MacBoxes; ++i)
        m_macEdits[std::size_t(i)] = makeEdit(m_window, QStringLiteral("macEdit%1").arg(i), QStringLiteral("00"), 2,
                                              twips(2040 + 360 * i, 2400, 375, 375), fixedGothic(Large));

    m_sendButton = makeButton(m_window, QStringLiteral("sendButton"), QStringLiteral("１台に送信"),
                              twips(4560, 1440, 1455, 375), true);
    m_fetchMacButton = makeButton(m_window, QStringLiteral("fetchMacButton"), QStringLiteral("MACアドレス 取得"),
                                  twips(4560, 1920, 1455, 495), true);

    QGroupBox* group =
        makeGroup(m_window, QStringLiteral("bookGroup"), QStringLiteral("リスト"), twips(4560, 2520, 1455, 1935));
    m_addButton =
        makeButton(group, QStringLiteral("addButton"), QStringLiteral("追加"), twips(240, 360, 975, 375), false);
    m_changeButton =
        makeButton(group, QStringLiteral("changeButton"), QStringLiteral("変更"), twips(240, 840, 975, 375), false);
    m_deleteButton =
        makeButton(group, QStringLiteral("deleteButton"), QStringLiteral("削除"), twips(240, 1320, 975, 375), false);
}

void MainForm::buildAlarms()
{
    makeHeading(m_window, QStringLiteral("alarmHeading"), QStringLiteral(" アラーム設定"), 2880);

    struct Slot {
        int left, top, labelLeft, labelTop, labelWidth;
        const char16_t* day;
        const QColor* colour;
    };
    static const std::array<Slot, AlarmSlots> slots = {{{2640, 2880, 2040, 3000, 495, u"毎日", nullptr},
                                                        {3600, 3735, 3240, 3840, 255, u"日", &SundayColour},
                                                        {960, 3375, 600, 3480, 255, u"月", nullptr},
                                                        {960, 3750, 600, 3840, 255, u"火", nullptr},
                                                        {960, 4125, 600, 4200, 255, u"水", nullptr},
                                                        {2280, 3360, 1920, 3480, 255, u"木", nullptr},
                                                        {2280, 3735, 1920, 3840, 255, u"金", nullptr},
                                                        {3600, 3360, 3240, 3480, 255, u"土", &SaturdayColour}}};
    for (int s = 0; s < AlarmSlots; ++s) {
        const Slot& slot = slots[std::size_t(s)];
        m_alarmEdits[std::size_t(s)] = makeEdit(m_window, QStringLiteral("alarmEdit%1").arg(s), EmptyAlarm, 5,
                                                twips(slot.left, slot.top, 855, 375), fixedGothic(Large));
        QLabel* day = makeLabel(m_window, QStringLiteral("alarmDayLabel%1").arg(s), QString::fromUtf16(slot.day),
                                twips(slot.labelLeft, slot.labelTop, slot.labelWidth, 255));
        day->setFont(uiGothic(Small));
        if (slot.colour)
            m_colouredTexts.append({day, *slot.colour});
    }
    m_clearAlarmsButton = makeButton(m_window, QStringLiteral("clearAlarmsButton"), QStringLiteral("クリア"),
                                     twips(3600, 4200, 855, 375), false);
}

void MainForm::buildBatch()
{
    makeSeparator(m_window, QStringLiteral("batchSeparator"), 4680);
    m_batchHeading =
        makeHeading(m_window, QStringLiteral("batchHeading"), QStringLiteral(" コンピュータ選択"), 4800, 1095);
    m_batchHeading->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_batchList = new QListView(m_window);
    m_batchList->setObjectName(QStringLiteral("batchList"));
    m_batchList->setGeometry(twips(2040, 4800, 2415, 1635));
    m_batchList->setFont(fixedGothic(Medium));
    m_batchList->setUniformItemSizes(true);
    m_batchList->setSelectionMode(QAbstractItemView::NoSelection);
    m_batchList->setItemDelegate(new MarkToggleDelegate(m_batchList));
    m_batchList->setFocusPolicy(Qt::ClickFocus);

    m_batchSendButton = makeButton(m_window, QStringLiteral("batchSendButton"), QStringLiteral("一括送信"),
                                   twips(4560, 4800, 1455, 375), true);
    // The group frames the two buttons, which stand over it.
    makeGroup(m_window, QStringLiteral("markGroup"), QStringLiteral("すべて"), twips(4560, 5280, 1455, 1215));
    m_markAllButton = makeButton(m_window, QStringLiteral("markAllButton"), QStringLiteral("選択"),
                                 twips(4800, 5520, 975, 375), false);
    m_unmarkAllButton = makeButton(m_window, QStringLiteral("unmarkAllButton"), QStringLiteral("解除"),
                                   twips(4800, 6000, 975, 375), false);
}

void MainForm::buildFooter()
{
    makeSeparator(m_window, QStringLiteral("footerSeparator"), 6600);
    m_statusLabel = makeLabel(m_window, QStringLiteral("statusLabel"), QString(), twips(120, 6840, 2775, 375));
    m_statusLabel->setFont(uiGothic(Medium));
    m_statusLabel->setStyleSheet(StatusStyle);
    m_statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_quitButton =
        makeButton(m_window, QStringLiteral("quitButton"), QStringLiteral("終了"), twips(3000, 6840, 1455, 375), true);
    m_hideButton = makeButton(m_window, QStringLiteral("hideButton"), QStringLiteral("閉じる"),
                              twips(4560, 6840, 1455, 375), true);

    m_startInTrayCheck = new QCheckBox(QStringLiteral("起動時、タスクトレイに入れる"), m_window);
    m_startInTrayCheck->setObjectName(QStringLiteral("startInTrayCheck"));
    m_startInTrayCheck->setGeometry(twips(120, 7320, 4335, 255));
    m_startInTrayCheck->setFont(uiGothic(Small));
    m_startInTrayCheck->setChecked(true);
    m_startInTrayCheck->setFocusPolicy(Qt::ClickFocus);

    QLabel* version =
        makeLabel(m_window, QStringLiteral("versionLabel"),
                  QStringLiteral("Version ") + QLatin1String(TarnelShortVersion), twips(4560, 7320, 1575, 255));
    version->setFont(versionSerif(Small));
    m_colouredTexts.append({version, VersionColour});
}

void MainForm::nameForScreenReaders()
{
    // Buttons and the check box speak their captions; the boxes have none of their own.
    for (int j = 0; j < MacBoxes; ++j) {
        m_macEdits[std::size_t(j)]->setAccessibleName(QStringLiteral("MACアドレス %1 / %2").arg(j + 1).arg(MacBoxes));
        m_macEdits[std::size_t(j)]->setAccessibleDescription(QStringLiteral("16進数2桁"));
    }
    static const std::array<const char16_t*, AlarmSlots> days = {u"毎日", u"日曜", u"月曜", u"火曜",
                                                                 u"水曜", u"木曜", u"金曜", u"土曜"};
    for (int s = 0; s < AlarmSlots; ++s) {
        m_alarmEdits[std::size_t(s)]->setAccessibleName(QStringLiteral("アラーム ") +
                                                        QString::fromUtf16(days[std::size_t(s)]));
        m_alarmEdits[std::size_t(s)]->setAccessibleDescription(
            QStringLiteral("時刻を 時:分 で入力します。アラームなしは __:__"));
    }
    m_hostEdit->setAccessibleName(QStringLiteral("送信先ホスト"));
    m_portEdit->setAccessibleName(QStringLiteral("ポート番号"));
    m_repeatEdit->setAccessibleName(QStringLiteral("送信回数"));
    m_computerCombo->setAccessibleName(QStringLiteral("リストから選択"));
    m_batchList->setAccessibleName(QStringLiteral("コンピュータ選択"));
    m_batchList->setAccessibleDescription(QStringLiteral("チェックしたコンピュータに一括送信します"));
    m_statusLabel->setAccessibleName(QStringLiteral("状態"));
    m_clockLabel->setAccessibleName(QStringLiteral("現在時刻"));
}

void MainForm::followPalette()
{
    const QColor background = m_window->palette().color(QPalette::Window);
    for (const ColouredText& text : m_colouredTexts)
        text.label->setStyleSheet(
            QStringLiteral("color:%1;").arg(readableOn(text.colour, background).name(QColor::HexRgb)));
}

void MainForm::setTabOrder()
{
    // The fourteen boxes are the only Tab stops: the MAC boxes, then the
    // alarms from every day through Monday to Saturday, then Sunday.
    QList<QWidget*> order = {m_computerCombo, m_hostEdit};
    for (LimitedLineEdit* edit : m_macEdits)
        order.append(edit);
    for (int slot : {0, 2, 3, 4, 5, 6, 7, 1})
        order.append(m_alarmEdits[std::size_t(slot)]);
    order += QList<QWidget*>{m_sendButton,   m_batchList,  m_batchSendButton, m_markAllButton,     m_unmarkAllButton,
                             m_hideButton,   m_quitButton, m_portEdit,        m_repeatEdit,        m_deleteButton,
                             m_changeButton, m_addButton,  m_fetchMacButton,  m_clearAlarmsButton, m_startInTrayCheck};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainForm::showBatchListHint()
{
    m_batchHeading->setText(QStringLiteral("コンピュータ選択\r\n\r\n　(複数選択可)"));
}
