// Renders the switch in its states, the application cells and a help bubble, in a light and a
// dark palette, to PNG files: vantrel_control_screenshots <output folder>. Run it under
// QT_QPA_PLATFORM=offscreen; QT_SCALE_FACTOR=2 gives the 2x pictures.

#include "app/storyboard.h"
#include "controls/control_controllers.h"
#include "controls/crv_switch.h"
#include "controls/show_tool_tip.h"
#include "controls/tool_tip_view_controller.h"
#include "screens/app_cell_view.h"
#include "screens/image_view.h"
#include "screens/list_images.h"
#include "screens/table_row_view.h"
#include "screens/tag_button.h"
#include "tools/screenshots/screenshot_palette.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVariantAnimation>
#include <QVBoxLayout>

using namespace vantrel;

namespace {

// A stand-in application icon: a rounded tile with a letter.
QIcon sampleIcon(const QColor& color, const QString& letter) {
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, 128);
    gradient.setColorAt(0, color.lighter(125));
    gradient.setColorAt(1, color);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(8, 8, 112, 112), 26, 26);
    QFont font;
    font.setPixelSize(64);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 128, 128), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QWidget* labelled(const QString& caption, QWidget* control) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(control, 0, Qt::AlignHCenter);
    auto* label = new QLabel(caption);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return box;
}

QImage renderPage(bool dark) {
    QApplication::setPalette(screenshots::screenshotPalette(dark));
    QWidget page;
    page.setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(&page);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(18);

    auto* switches = new QHBoxLayout;
    switches->setSpacing(18);
    auto* off = new CRVSwitch;
    auto* on = new CRVSwitch;
    on->setOn(true, false);
    auto* disabledOff = new CRVSwitch;
    disabledOff->setEnabled(false);
    auto* disabledOn = new CRVSwitch;
    disabledOn->setOn(true, false);
    disabledOn->setEnabled(false);
    auto* dragging = new CRVSwitch;
    auto* pill = new CRVSwitch(QSize(51, 31));
    pill->setIgnoreRatio(false);
    switches->addWidget(labelled(QStringLiteral("Off"), off));
    switches->addWidget(labelled(QStringLiteral("On"), on));
    switches->addWidget(labelled(QStringLiteral("Disabled"), disabledOff));
    switches->addWidget(labelled(QStringLiteral("Disabled on"), disabledOn));
    switches->addWidget(labelled(QStringLiteral("Dragging"), dragging));
    switches->addWidget(labelled(QStringLiteral("Pill, 51×31"), pill));
    switches->addStretch();
    layout->addLayout(switches);

    auto* list = new QWidget;
    list->setAutoFillBackground(true);
    list->setBackgroundRole(QPalette::Base);
    auto* rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, 4, 0, 4);
    rows->setSpacing(0);
    const struct {
        QString name;
        QColor color;
        bool selected;
    } apps[] = {{QStringLiteral("Notes"), QColor(230, 170, 20), true},
                {QStringLiteral("Terminal"), QColor(60, 60, 70), false},
                {QStringLiteral("A Very Long Application Name That Does Not Fit"),
                 QColor(40, 120, 230), false}};
    int row = 0;
    for (const auto& app : apps) {
        auto* rowView = new TableRowView;
        auto* cell = new AppCellView;
        cell->imageApp()->setImage(sampleIcon(app.color, app.name.left(1)));
        cell->lblAppName()->setText(app.name);
        cell->btnAddRemove()->setIcon(
            listImage(app.selected ? redMinusImageName : greenAddImageName));
        cell->btnAddRemove()->setTag(row++);
        rowView->setCellView(cell);
        rowView->setSelected(app.selected);
        rows->addWidget(rowView);
    }
    list->setFixedWidth(300);
    layout->addWidget(list);

    auto* help = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Show running apps only"));
    auto* info = new QToolButton;
    info->setText(QStringLiteral("i"));
    info->setAutoRaise(true);
    info->setFixedSize(18, 18);
    help->addWidget(caption);
    help->addWidget(info);
    help->addStretch();
    layout->addLayout(help);
    layout->addSpacing(40);

    page.resize(560, 360);
    page.move(40, 40);
    page.show();
    QApplication::processEvents();

    // Mid-drag: pressed, four drag events in the right half, frozen part way through the settle.
    const QRect track = dragging->trackRect();
    sendMouse(dragging, QEvent::MouseButtonPress, QPointF(track.left() + 4, track.center().y()),
              Qt::LeftButton);
    for (int i = 0; i < 4; ++i)
        sendMouse(dragging, QEvent::MouseMove,
                  QPointF(track.left() + track.width() * 0.75, track.center().y()), Qt::LeftButton);
    dragging->layerAnimation()->pause();
    dragging->layerAnimation()->setCurrentTime(70);
    dragging->update();

    showToolTip(info, QStringLiteral("List the apps that are currently running on this computer."));
    QApplication::processEvents();

    QImage image = page.grab().toImage();
    auto* controller =
        storyboard::sharedController<ToolTipViewController>(toolTipViewControllerIdentifier);
    if (controller && controller->popover()->isVisible()) {
        QPainter painter(&image);
        const QImage bubble = controller->popover()->grab().toImage();
        painter.drawImage(controller->popover()->pos() - page.pos(), bubble);
        controller->popover()->close();
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    registerControlControllers();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    const QString scale = QString::number(qRound(application.devicePixelRatio()));
    for (const bool dark : {false, true}) {
        const QString name =
            QStringLiteral("%1/controls_%2@%3x.png")
                .arg(folder, dark ? QStringLiteral("dark") : QStringLiteral("light"), scale);
        if (!renderPage(dark).save(name))
            return 1;
    }
    return 0;
}
