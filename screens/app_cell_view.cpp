#include "screens/app_cell_view.h"

#include "screens/image_view.h"
#include "screens/tag_button.h"

#include <QHBoxLayout>
#include <QPainter>

namespace vantrel {
namespace {

constexpr int iconSide = 28;
constexpr int nameFontPixels = 13;

// A one-line label that ends in an ellipsis rather than growing its row; text() stays whole.
class NameLabel final : public QLabel {
public:
    explicit NameLabel(QWidget* parent)
        : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
        if (shown != text())
            setToolTip(text());
        else
            setToolTip(QString());
    }
};

} // namespace

AppCellView::AppCellView(QWidget* parent)
    : QWidget(parent)
    , m_imageApp(new ImageView(this))
    , m_lblAppName(new NameLabel(this))
    , m_btnAddRemove(new TagButton(this)) {
    setObjectName(appDetailsIdentifier);
    m_imageApp->setObjectName(QStringLiteral("imageApp"));
    m_lblAppName->setObjectName(QStringLiteral("lblAppName"));
    m_btnAddRemove->setObjectName(QStringLiteral("btnAddRemove"));

    m_imageApp->setFixedSize(iconSide, iconSide);
    QFont font = m_lblAppName->font();
    font.setPixelSize(nameFontPixels);
    m_lblAppName->setFont(font);
    m_btnAddRemove->setFixedSize(m_btnAddRemove->sizeHint());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 10, 0);
    layout->setSpacing(10);
    layout->addWidget(m_imageApp);
    layout->addWidget(m_lblAppName, 1);
    layout->addWidget(m_btnAddRemove);
}

QSize AppCellView::sizeHint() const {
    return {280, appRowHeight};
}

} // namespace vantrel
