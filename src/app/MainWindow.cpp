#include "app/MainWindow.h"

#include "app/AddressBookModel.h"
#include "app/AlarmTimer.h"
#include "app/BookEditor.h"
#include "app/FieldNavigation.h"
#include "app/LimitedLineEdit.h"
#include "app/MainForm.h"
#include "app/TrayPresence.h"
#include "app/WakeActions.h"
#include "core/AppPaths.h"
#include "netbios/MacLookup.h"
#include "settingsfile/SettingsFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QtDebug>

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/tarnel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

MainWindow::MainWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_form(std::make_unique<MainForm>(this)),
      m_model(new AddressBookModel(this))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tarnel! - Wake On Lan"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(6120 / 15, 7650 / 15);
    setWindowIcon(applicationIcon());

    auto* names = new AddressBookNamesModel(this);
    names->setSourceModel(m_model);
    m_form->computerCombo()->setModel(names);
    m_form->batchList()->setModel(m_model);

    if (!m_services.macLookup)
        m_services.macLookup = [](const QString& computer) { return lookUpMacAddress(computer); };
    m_wake = new WakeActions(*m_form, *m_model, *m_services.sender, this);
    m_editor = new BookEditor(*m_form, *m_model, *m_services.dialogs, addressBookPath(m_services.dataDir), this);
    m_alarmTimer = new AlarmTimer(*m_services.clock, *m_model, m_form->clockLabel(), *m_wake, this);
    m_navigation = new FieldNavigation(*m_form, this);
    m_tray = new TrayPresence(this, m_services.useTray);
    m_macFetch = new MacAddressFetch(*m_form, *m_services.dialogs, m_services.macLookup, this);
    wire();
    // The clock runs from the moment the window exists, shown or hidden.
    m_alarmTimer->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::wire()
{
    const MainForm& form = *m_form;
    connect(form.sendButton(), &QPushButton::clicked, m_wake, &WakeActions::sendToOne);
    connect(form.batchSendButton(), &QPushButton::clicked, m_wake, &WakeActions::sendToMarked);
    // A choice by the user, with the mouse, the keys or the wheel; the
    // program's own choices fill the boxes themselves.
    connect(form.computerCombo(), &QComboBox::activated, m_editor, &BookEditor::showChosen);
    connect(form.addButton(), &QPushButton::clicked, m_editor, &BookEditor::addComputer);
    connect(form.changeButton(), &QPushButton::clicked, m_editor, &BookEditor::changeComputer);
    connect(form.deleteButton(), &QPushButton::clicked, m_editor, &BookEditor::deleteComputer);
    connect(form.markAllButton(), &QPushButton::clicked, m_editor, &BookEditor::markAll);
    connect(form.unmarkAllButton(), &QPushButton::clicked, m_editor, &BookEditor::unmarkAll);
    connect(form.clearAlarmsButton(), &QPushButton::clicked, m_editor, &BookEditor::clearAlarms);
    connect(form.fetchMacButton(), &QPushButton::clicked, m_macFetch, &MacAddressFetch::fetchMac);
    connect(form.hideButton(), &QPushButton::clicked, m_tray, &TrayPresence::putAway);
    connect(form.quitButton(), &QPushButton::clicked, this, &MainWindow::quit);
}

void MainWindow::start()
{
    // Centred on the whole screen, by the outer size of the window.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->geometry();
        const QRect frame = frameGeometry();
        const int top = int(available.height() / 2.0 - frame.height() / 2.0);
        const int left = int(available.width() / 2.0 - frame.width() / 2.0);
        move(available.left() + left, available.top() + top);
    }
    m_tray->showIcon();
    loadSettings();
    m_editor->load();
    m_form->showBatchListHint();
    hide();
    if (!m_form->startInTrayCheck()->isChecked() || !m_tray->iconShown())
        show();
    m_tray->setWindowLoaded();
}

void MainWindow::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_tray->removeIcon();
    saveSettings();
}

void MainWindow::quit()
{
    shutdown();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box ends the program, as "終了" does; only "閉じる" hides.
    event->accept();
    quit();
}

void MainWindow::changeEvent(QEvent* event)
{
    // A desktop switching between a light and a dark theme.
    if (event->type() == QEvent::PaletteChange && m_form)
        m_form->followPalette();
    QWidget::changeEvent(event);
}

const AddressBook& MainWindow::addressBook() const
{
    return m_model->book();
}

bool MainWindow::trayIconShown() const
{
    return m_tray->iconShown();
}

SettingsValues MainWindow::shownSettings() const
{
    SettingsValues values;
    values.port = m_form->portEdit()->text();
    values.repeat = m_form->repeatEdit()->text();
    values.startInTray = m_form->startInTrayCheck()->isChecked();
    return values;
}

void MainWindow::loadSettings()
{
    const SettingsValues loaded = loadSettingsFile(settingsPath(), shownSettings());
    m_form->portEdit()->setText(loaded.port);
    m_form->repeatEdit()->setText(loaded.repeat);
    m_form->startInTrayCheck()->setChecked(loaded.startInTray);
}

void MainWindow::saveSettings()
{
    QString error;
    // Settings are saved silently: the program is ending.
    if (!saveSettingsFile(settingsPath(), shownSettings(), &error))
        qWarning("tarnel: could not save %s: %s", qPrintable(settingsPath()), qPrintable(error));
}

QString MainWindow::settingsPath() const
{
    return ::settingsPath(m_services.dataDir);
}
