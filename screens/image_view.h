#pragma once

#include <QIcon>
#include <QWidget>

namespace vantrel {

// An image, scaled to fit and centred, drawn sharp at the screen's pixel ratio. A press on it
// counts as a press on the window's background: it goes on to the view beneath, and moves a
// frameless window, so an image never stands in the way of dragging its window.
class ImageView : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    QIcon image() const { return m_image; }
    void setImage(const QIcon& image);

    bool mouseDownCanMoveWindow() const { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QIcon m_image;
};

} // namespace vantrel
