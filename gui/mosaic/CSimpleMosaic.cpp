#include "gui/mosaic/CSimpleMosaic.h"

#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicGrid.h"
#include "core/mosaic/MosaicIds.h"
#include "core/setup/Resolution.h"
#include "gui/link/CProgress.h"
#include "gui/link/DialogJob.h"
#include "gui/mosaic/MosaicWidgets.h"
#include "gui/widgets/ButtonActivation.h"
#include "gui/widgets/CColorButton.h"
#include "gui/widgets/ControlSet.h"
#include "gui/widgets/QtText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QResizeEvent>

#include <utility>

namespace omnar::gui::mosaic {

using namespace omnar::mosaic;
using namespace omnar::mosaic::ids;

namespace {

constexpr util::TextPair kChangedDescription{"changed", "已更改"};

QColor qcolour(const Rgb& c)
{
    return QColor(c.r, c.g, c.b);
}

} // namespace

CSimpleMosaic::CSimpleMosaic(const Context& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_context(context)
    , m_activation(new widgets::ButtonActivation(this))
{
    setObjectName(QStringLiteral("CSimpleMosaic"));
    m_state.chinese = context.chinese;
    if (!m_context.messageHandler) {
        // The dialog's boxes always carry English Yes/No buttons, whatever
        // the language of their text.
        m_context.messageHandler = [this](const QString& caption, const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, this);
            return box.exec() == QMessageBox::Yes;
        };
    }

    setFont(dialogFont());
    setWindowTitle(qs(kDialogTitle.in(m_state.chinese)));
    setMinimumSize(kMinimumDialogSize.width, kMinimumDialogSize.height);
    resize(kBaseDialogSize.width, kBaseDialogSize.height);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setGeometry(rect());
    buildControls();

    m_job = new link::DialogJob(context.link, this);
    connect(m_job, &link::DialogJob::busyChanged, this, &CSimpleMosaic::setBusy);
    m_progress = new link::CProgress(this);

    applyView(openDialog(m_state, currentGeometry()));

    // The lower part keeps its distance to the bottom edge from here on.
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        if (!isAnchoredToBottom(it.key()))
            continue;
        const QRect r = it.value()->geometry();
        m_anchors.push_back({it.value(), recordAnchor({r.left(), r.top(), r.right() + 1, r.bottom() + 1}, height())});
    }
    anchorToBottom();
}

CSimpleMosaic::~CSimpleMosaic()
{
    m_job->stop();
}

QWidget* CSimpleMosaic::control(int id) const
{
    return m_controls.value(id, nullptr);
}

bool CSimpleMosaic::isUploadEnabled() const
{
    for (int id : kUploadControls)
        if (!control(id)->isEnabledTo(m_client))
            return false;
    return true;
}

void CSimpleMosaic::done(int result)
{
    // Ends every wait of the device work at once; what it has not reported
    // yet is dropped, and nothing more is sent.
    m_job->stop();
    closeProgress();
    QDialog::done(result);
}

// ---------------------------------------------------------------- geometry

Geometry CSimpleMosaic::currentGeometry() const
{
    const QRect f = control(IDC_EFFECTS_FRAME)->geometry();
    return {{width(), height()}, {f.left(), f.top(), f.left() + f.width(), f.top() + f.height()}};
}

void CSimpleMosaic::applyGeometry(const Geometry& g)
{
    control(IDC_EFFECTS_FRAME)->setGeometry(g.frame.left, g.frame.top, g.frame.width(), g.frame.height());
    resize(g.dialog.width, g.dialog.height);
    // A hidden window hears of its new size only when shown.
    anchorToBottom();
}

void CSimpleMosaic::anchorToBottom()
{
    m_client->setGeometry(rect());
    for (const Anchor& a : m_anchors) {
        const Rect r = placeAnchored(a.anchor, height());
        a.widget->setGeometry(r.left, r.top, r.width(), r.height());
    }
}

void CSimpleMosaic::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    anchorToBottom();
}

// ---------------------------------------------------------------- handlers

void CSimpleMosaic::onPreset(int presetId)
{
    applyView(applyPreset(m_state, presetId, currentGeometry()));
}

void CSimpleMosaic::onSpecificationOk()
{
    const auto text = [this](int id) { return static_cast<QLineEdit*>(control(id))->text().toStdString(); };
    applyView(specificationOk(m_state, text(IDC_ROWS), text(IDC_COLUMNS), currentGeometry()));
}

void CSimpleMosaic::onWindowButton(int window)
{
    applyView(selectWindow(m_state, window));
}

void CSimpleMosaic::onAddressRadio(int radioId)
{
    const MessageBox question = messageBox(MessageId::SerialPortQuestion, m_state.chinese);
    const bool yes = m_context.messageHandler(qs(question.caption), qs(question.text));
    applyView(addressRadioAnswered(m_state, radioId, yes));
}

void CSimpleMosaic::onAddressList(int position)
{
    applyView(addressListChosen(m_state, position));
}

void CSimpleMosaic::onConnect()
{
    const ConnectCheckInput input{m_state.deviceAddress, {m_state.resolutionWidth, m_state.resolutionHeight}};
    if (!runJob([input](omnar::link::JobLink& job, const ReportSink& sink) { ConnectCheck(job, input, sink); }))
        return;
    m_progress->setLanguage(m_state.chinese);
    m_progress->setKind(link::CProgress::Connecting);
    // The reports arrive while the please-wait window runs; the last one
    // (or the job's end) closes it, also before it has appeared.
    m_progressRunning = true;
    m_progress->exec();
    m_progressRunning = false;
}

void CSimpleMosaic::onDetect()
{
    const std::uint8_t address = m_state.deviceAddress;
    runJob([address](omnar::link::JobLink& job, const ReportSink& sink) { Detect(job, address, sink); });
}

void CSimpleMosaic::onMode(bool sync)
{
    const std::uint8_t id = m_context.deviceId;
    runJob([id, sync](omnar::link::JobLink& job, const ReportSink& sink) { SetMosaicMode(job, id, sync, sink); });
}

void CSimpleMosaic::onAutoCalculate()
{
    std::vector<CellText> cells;
    for (int n = 0; n < m_state.cellCount; ++n) {
        const auto text = [this](int id) {
            const auto* e = qobject_cast<const QLineEdit*>(control(id));
            return e ? e->text().toStdString() : std::string();
        };
        cells.push_back({text(IDC_WIDTH_EDIT_BASE + n), text(IDC_HEIGHT_EDIT_BASE + n)});
    }
    applyView(autoCalculate(m_state, cells));
}

void CSimpleMosaic::onSet(Group group)
{
    if (m_job->running())
        return;
    SetOutcome outcome = beginSet(m_state, group);
    applyView(outcome.view);
    if (!outcome.frame)
        return;
    const omnar::link::Frame frame = *outcome.frame;
    runJob([frame, group](omnar::link::JobLink& job, const ReportSink& sink) { SendWindow(job, frame, group, sink); });
}

void CSimpleMosaic::onSpin(int spinControlId, int delta)
{
    applyView(spinStep(m_state, spinControlId, delta));
}

// ---------------------------------------------------------------- buttons

void CSimpleMosaic::setCheckedByProgram(int id, bool checked)
{
    if (auto* b = qobject_cast<QAbstractButton*>(control(id)))
        m_activation->setChecked(b, checked);
}

// ---------------------------------------------------------------- views

void CSimpleMosaic::applyView(const MosaicView& view)
{
    if (view.uploadWhileMessages)
        setUploadEnabled(*view.uploadWhileMessages);
    if (view.grid)
        buildGrid(*view.grid);

    for (const auto& [id, value] : view.values)
        if (auto* e = qobject_cast<QLineEdit*>(control(id)))
            e->setText(QString::number(value));
    for (const auto& [id, changed] : view.marks)
        paintMark(id, changed);
    for (const auto& [id, text] : view.edits)
        if (auto* e = qobject_cast<QLineEdit*>(control(id)))
            e->setText(qs(text));
    for (const auto& [id, caption] : view.captions)
        widgets::setControlText(control(id), qs(caption));
    for (const auto& [id, checked] : view.checked)
        setCheckedByProgram(id, checked);
    for (const auto& [id, colour] : view.buttonColours) {
        auto* b = qobject_cast<widgets::CColorButton*>(control(id));
        if (!b)
            continue;
        b->setColours(qcolour(colour.text), qcolour(colour.background));
        // Green is the selection; a screen reader says so in words.
        const bool selected = colour.background == kSelectedWindowColour;
        b->setAccessibleDescription(selected ? qs(kSelectedWindowDescription.in(m_state.chinese)) : QString());
    }

    auto* resolutions = static_cast<QComboBox*>(control(IDC_RESOLUTION_LIST));
    if (view.customResolutionEntry)
        resolutions->setItemText(setup::kCustomResolutionIndex, qs(*view.customResolutionEntry));
    if (view.resolutionSelection)
        resolutions->setCurrentIndex(*view.resolutionSelection);
    if (view.addressSelection)
        static_cast<QComboBox*>(control(IDC_ADDRESS_LIST))->setCurrentIndex(*view.addressSelection);
    if (!view.captions.empty())
        updateEditNames();

    for (const MessageBox& box : view.messages)
        showMessage(box);
    if (view.upload)
        setUploadEnabled(*view.upload);
    if (view.closeProgress)
        closeProgress();
}

void CSimpleMosaic::setUploadEnabled(bool enabled)
{
    for (int id : kUploadControls)
        control(id)->setEnabled(enabled);
}

void CSimpleMosaic::paintMark(int fieldId, bool changed)
{
    auto* e = qobject_cast<QLineEdit*>(control(fieldId));
    if (!e)
        return;
    QPalette pal = e->palette();
    const QColor background = qcolour(changed ? kChangedFieldColour : kUnchangedFieldColour);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, background);
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    e->setPalette(pal);
    e->setAccessibleDescription(changed ? qs(kChangedDescription.in(m_state.chinese)) : QString());
}

void CSimpleMosaic::showMessage(const MessageBox& box)
{
    m_context.messageHandler(qs(box.caption), qs(box.text));
}

// ---------------------------------------------------------------- device work

bool CSimpleMosaic::runJob(Sequence sequence)
{
    if (m_job->running())
        return false;
    return m_job->startReporting<DeviceReport>(
        [sequence = std::move(sequence)](omnar::link::JobLink& job, const ReportSink& sink) { sequence(job, sink); },
        [this](const DeviceReport& report) { applyReport(report); },
        // A stopped or failed run may not have said so: its end closes the wait.
        [this](bool) { closeProgress(); });
}

void CSimpleMosaic::applyReport(const DeviceReport& report)
{
    applyView(applyDeviceReport(m_state, report));
}

void CSimpleMosaic::closeProgress()
{
    // Only a window that is running or about to run: a request left over
    // would end the next connect's wait before it began.
    if (m_progressRunning)
        m_progress->requestClose();
}

void CSimpleMosaic::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy) {
        m_focusBeforeBusy = focusWidget();
        m_client->setEnabled(false);
        setCursor(Qt::WaitCursor);
    } else {
        m_client->setEnabled(true);
        unsetCursor();
        // Disabling moved the focus away (perhaps to Exit); give it back.
        if (m_focusBeforeBusy && m_focusBeforeBusy->isEnabled())
            m_focusBeforeBusy->setFocus();
        m_focusBeforeBusy = nullptr;
    }
}

} // namespace omnar::gui::mosaic
