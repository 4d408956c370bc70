#pragma once

#include <QImage>
#include <QWidget>

#include <array>

// The item editor's two archive markers: image 0 says the archive lacks the entry (a red
// cross), image 1 that it holds it (a green tick). Drawn once, on first use.
const std::array<QImage, 2>& ImageList1();

// A small box that draws one image of `ImageList1`: the model and texture markers of the
// definition panels.
class ArchiveMarker : public QWidget {
    Q_OBJECT
public:
    static constexpr int Missing = 0;
    static constexpr int Present = 1;

    explicit ArchiveMarker(const char* objectName, QWidget* parent = nullptr);

    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int index);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_imageIndex = Missing;
};
