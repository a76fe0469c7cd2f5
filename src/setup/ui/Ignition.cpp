#include "setup/ui/Ignition.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalBlocker>

#include "setup/ui/IgnitionWidgets.h"
#include "tune/FieldNames.h"
#include "tune/FieldRules.h"

namespace setup {

namespace {

using tune::Option;
using tune::Single;
using tune::Table;

constexpr std::array kTables{Table::RPM, Table::BaseTiming, Table::Map, Table::MapAdj};
constexpr std::array kSingles{Single::Static,         Single::PortedStartTPS, Single::PortedFullTPS,
                              Single::PortedStartRPM, Single::PortedFullRPM,  Single::CrankRPM,
                              Single::CrankAdv,       Single::RPMlimit,       Single::UnwindRate};
constexpr std::array kOptions{Option::Stroke4,    Option::Stroke2,    Option::PortedTPS,
                              Option::PortedRPM,  Option::PortedNone, Option::Map115,
                              Option::Map250,     Option::Drop,       Option::Retard,
                              Option::UnwindMsec, Option::UnwindSpark};

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// Only a changed text is written, so the caret of the field being typed in stays put.
void showText(QLineEdit* edit, const std::string& text) {
    const QString shown = latin1(text);
    if (edit->text() != shown) {
        const QSignalBlocker blocker(edit);
        edit->setText(shown);
    }
}

void showList(QComboBox* box, const tune::ListField& list) {
    const QSignalBlocker blocker(box);
    QStringList entries;
    for (const std::string& entry : list.entries) {
        entries << latin1(entry);
    }
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) {
        shown << box->itemText(i);
    }
    if (shown != entries) {
        box->clear();
        box->addItems(entries);
    }
    if (box->currentIndex() != list.index) {
        box->setCurrentIndex(list.index);
    }
    if (box->isEditable() && box->currentText() != latin1(list.text)) {
        box->setEditText(latin1(list.text));
    }
}

void showCheck(QAbstractButton* button, bool checked) {
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

QAction* menuAction(QWidget* owner, const char* objectName, const char* caption) {
    auto* action = new QAction(QString::fromLatin1(caption), owner);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

}  // namespace

Ignition::Ignition(Session& session, SessionView* others, QWidget* parent)
    : QMainWindow(parent), session_(session), w_(std::make_unique<IgnitionWidgets>()) {
    setOtherWindows(others);
    setObjectName(QStringLiteral("Ignition"));
    setWindowTitle(latin1(session_.edition().appName));
    auto* central = new QWidget(this);
    buildIgnitionPanels(*w_, central);
    setCentralWidget(central);
    buildMenus();
    connectEditors();
    adaptToEdition();
    session_.setView(this);
    refresh();
}

Ignition::~Ignition() {
    session_.setView(nullptr);
}

void Ignition::setOtherWindows(SessionView* others) {
    others_ = others != nullptr ? others : &none_;
}

void Ignition::buildMenus() {
    IgnitionWidgets& w = *w_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mFile"));
    w.loadSettings = menuAction(this, "mLoadSettings", "&Load Settings...");
    w.saveSettings = menuAction(this, "mSaveSettings", "&Save Settings...");
    w.playFile = menuAction(this, "mPlayFile", "&Play Data Log...");
    w.exit = menuAction(this, "mExit", "E&xit");
    file->addActions({w.loadSettings, w.saveSettings, w.playFile, w.exit});

    QMenu* port = menuBar()->addMenu(QStringLiteral("Com-&Port"));
    port->setObjectName(QStringLiteral("mPort"));
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "mCOM" + QByteArray::number(i + 1);
        const QByteArray caption = "COM&" + QByteArray::number(i + 1);
        w.com[i] = menuAction(this, name.constData(), caption.constData());
        w.com[i]->setCheckable(true);
        port->addAction(w.com[i]);
        connect(w.com[i], &QAction::triggered, this, [this, i] {
            session_.choosePort(i + 1);
            // The entry toggled itself; the Session's choice decides the check marks.
            showCommands();
        });
    }

    w.plot3D = menuAction(this, "mPlot3D", "Plot&3D");
    w.s19 = menuAction(this, "mS19", "&S19");
    w.about = menuAction(this, "mAbout", "&About");
    menuBar()->addActions({w.plot3D, w.s19, w.about});

    connect(w.loadSettings, &QAction::triggered, this, [this] { session_.loadSettings(); });
    connect(w.saveSettings, &QAction::triggered, this, [this] { session_.saveSettings(); });
    connect(w.playFile, &QAction::triggered, this, [this] { others_->showLogReplay(); });
    connect(w.exit, &QAction::triggered, this, &QWidget::close);
    connect(w.plot3D, &QAction::triggered, this, [this] { others_->showPlot(); });
    connect(w.s19, &QAction::triggered, this, [this] { others_->showFirmwareUpdate(); });
    connect(w.about, &QAction::triggered, this, [this] { others_->showAbout(); });
}

void Ignition::adaptToEdition() {
    IgnitionWidgets& w = *w_;
    switch (session_.edition().edition) {
        case tune::Edition::ZAV:
            w.mapFrame->setTitle(latin1(std::string(tune::caption::kMapSensorPanelZav)));
            for (QWidget* hidden :
                 {static_cast<QWidget*>(w.xledLabel), static_cast<QWidget*>(w.xledFunctionLabel),
                  static_cast<QWidget*>(w.xled), static_cast<QWidget*>(w.invertSpout),
                  static_cast<QWidget*>(w.outputLabel)}) {
                hidden->hide();
            }
            w.playFile->setVisible(false);
            w.s19->setVisible(false);
            placeZavMapPanel(w);
            break;
        case tune::Edition::QOLT:
            for (QWidget* hidden :
                 {static_cast<QWidget*>(w.option(Option::Stroke4)),
                  static_cast<QWidget*>(w.option(Option::Stroke2)),
                  static_cast<QWidget*>(w.oddFire), static_cast<QWidget*>(w.invertSpout),
                  static_cast<QWidget*>(w.outputLabel), static_cast<QWidget*>(w.pulsesLabel),
                  static_cast<QWidget*>(w.crankDelay), static_cast<QWidget*>(w.staticFrame),
                  static_cast<QWidget*>(w.limiterFrame)}) {
                hidden->hide();
            }
            break;
        case tune::Edition::RUK:
        case tune::Edition::BEL:
            break;
    }
}

void Ignition::connectEditors() {
    IgnitionWidgets& w = *w_;
    tune::Tune& t = session_.tune();

    for (Table table : kTables) {
        for (int i = 0; i < 6; ++i) {
            FieldEdit* edit = w.cell(table, i);
            connect(edit, &QLineEdit::textEdited, this,
                    [&t, table, i](const QString& text) { t.text(table, i) = latin1(text); });
            connect(edit, &FieldEdit::stepped, this, [this, &t, table, i](bool up) {
                tune::step(t, table, i, up);
                refresh();
            });
            connect(edit, &FieldEdit::enterPressed, this, [this, &t, table, i] {
                if (tune::ruleFor(table).enterCommits) {
                    tune::commit(t, table, i);
                    refresh();
                }
            });
            connect(edit, &FieldEdit::left, this, [this, &t, table, i] {
                tune::commit(t, table, i);
                refresh();
            });
            connect(edit, &FieldEdit::moved, this, [this, &t, table, i](bool right) {
                const int target = right ? tune::cellRightOf(i) : tune::cellLeftOf(i);
                tune::commit(t, table, i);
                refresh();
                w_->cell(table, target)->setFocus(Qt::OtherFocusReason);
            });
        }
    }

    for (Single field : kSingles) {
        FieldEdit* edit = w.single(field);
        connect(edit, &QLineEdit::textEdited, this,
                [&t, field](const QString& text) { t.text(field) = latin1(text); });
        connect(edit, &FieldEdit::stepped, this, [this, &t, field](bool up) {
            tune::step(t, field, up);
            refresh();
        });
        connect(edit, &FieldEdit::enterPressed, this, [this, &t, field] {
            if (tune::ruleFor(field).enterCommits) {
                tune::commit(t, field);
                refresh();
            }
        });
        connect(edit, &FieldEdit::left, this, [this, &t, field] {
            tune::commit(t, field);
            refresh();
        });
    }

    for (int i = 0; i < 2; ++i) {
        FieldEdit* edit = w.outputThresholds[i];
        connect(edit, &QLineEdit::textEdited, this,
                [&t, i](const QString& text) { t.outputs[i].text = latin1(text); });
        connect(edit, &FieldEdit::stepped, this, [this, &t, i](bool up) {
            t.stepOutput(i, up);
            refresh();
        });
        const auto commitOutput = [this, &t, i] {
            t.commitOutput(i);
            refresh();
        };
        connect(edit, &FieldEdit::enterPressed, this, commitOutput);
        connect(edit, &FieldEdit::left, this, commitOutput);
        connect(w.outputChannels[i], &QComboBox::activated, this, [this, &t, i](int index) {
            t.selectChannel(i, index);
            refresh();
        });
    }

    for (Option o : kOptions) {
        // Selecting a stroke rebuilds the cylinder list in the Tune; the refresh shows it.
        connect(w.option(o), &QRadioButton::clicked, this, [this, &t, o] {
            t.setOption(o, true);
            refresh();
        });
    }

    const auto selectOn = [this](QComboBox* box, tune::ListField& list) {
        connect(box, &QComboBox::activated, this, [this, &list](int index) {
            list.select(index);
            refresh();
        });
    };
    selectOn(w.cylinders, t.cylinders);
    selectOn(w.crankDelay, t.crankDelay);
    selectOn(w.xled, t.xled);
    selectOn(w.knockIncr, t.knockIncr);
    selectOn(w.limitType, t.limitType);
    // The limiter's text may also be typed; a typed text that is no entry selects none.
    connect(w.limitType, &QComboBox::editTextChanged, this, [this, &t](const QString& text) {
        if (refreshing_) {
            return;
        }
        t.limitType.text = latin1(text);
        t.limitType.index = w_->limitType->findText(text, Qt::MatchExactly);
    });

    const auto checkOn = [this](QCheckBox* box, int& value) {
        connect(box, &QCheckBox::clicked, this,
                [&value](bool checked) { value = checked ? 1 : 0; });
    };
    checkOn(w.oddFire, t.oddFire);
    checkOn(w.invertSpout, t.invertSpout);
    checkOn(w.check1, t.check1);

    connect(w.realtime, &QPushButton::clicked, this, [this] { session_.realtime(); });
    connect(w.upload, &QPushButton::clicked, this, [this] { session_.loadFromController(); });
    connect(w.download, &QPushButton::clicked, this, [this] { session_.sendToController(); });
}

void Ignition::refresh() {
    refreshing_ = true;
    IgnitionWidgets& w = *w_;
    const tune::Tune& t = session_.tune();
    for (Table table : kTables) {
        for (int i = 0; i < 6; ++i) {
            showText(w.cell(table, i), t.text(table, i));
        }
    }
    for (Single field : kSingles) {
        showText(w.single(field), t.text(field));
    }
    for (Option o : kOptions) {
        showCheck(w.option(o), t.option(o));
    }
    for (int i = 0; i < 2; ++i) {
        showList(w.outputChannels[i], t.outputs[i].channel);
        showText(w.outputThresholds[i], t.outputs[i].text);
    }
    showList(w.cylinders, t.cylinders);
    showList(w.crankDelay, t.crankDelay);
    showList(w.limitType, t.limitType);
    showList(w.xled, t.xled);
    showList(w.knockIncr, t.knockIncr);
    showCheck(w.oddFire, t.oddFire != 0);
    showCheck(w.invertSpout, t.invertSpout != 0);
    showCheck(w.check1, t.check1 != 0);
    refreshing_ = false;
    showCommands();
}

void Ignition::showTune() {
    refresh();
}

void Ignition::showCommands() {
    IgnitionWidgets& w = *w_;
    w.realtime->setEnabled(session_.realtimeEnabled());
    w.upload->setEnabled(session_.uploadEnabled());
    w.download->setEnabled(session_.downloadEnabled());
    for (int i = 0; i < 4; ++i) {
        w.com[i]->setChecked(session_.checkedPort() == i + 1);
    }
}

void Ignition::hideNoResponse() {
    others_->hideNoResponse();
}
bool Ignition::dashboardVisible() const {
    return others_->dashboardVisible();
}
void Ignition::unloadDashboard() {
    others_->unloadDashboard();
}
void Ignition::setRpmUpperLimit(double rpm) {
    others_->setRpmUpperLimit(rpm);
}
void Ignition::startRealtime() {
    others_->startRealtime();
}
bool Ignition::replayVisible() const {
    return others_->replayVisible();
}
void Ignition::showDashboard() {
    others_->showDashboard();
}
void Ignition::showAbout() {
    others_->showAbout();
}
void Ignition::showPlot() {
    others_->showPlot();
}
void Ignition::showLogReplay() {
    others_->showLogReplay();
}
void Ignition::showFirmwareUpdate() {
    others_->showFirmwareUpdate();
}
bool Ignition::dataLogOpen() const {
    return others_->dataLogOpen();
}

void Ignition::closeEvent(QCloseEvent* event) {
    if (session_.queryClose()) {
        event->accept();
        emit closing();
    } else {
        event->ignore();
    }
}

}  // namespace setup
