#pragma once

#include <QImage>
#include <QTextBrowser>
#include <vector>

// The text browser that shows the program's HTML reports. Qt's rich text draws no inline SVG,
// so every inline picture of a report is drawn here with the SVG module, the same picture that a
// web browser shows, and stands in the document as an image in its place.
class ReportBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ReportBrowser(QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

    // `html` with each inline <svg>…</svg> replaced by an image of it, put into `pictures`;
    // `prefix` starts the images' addresses.
    static QString WithPictures(const QString& html, const QString& prefix, std::vector<QImage>& pictures,
        qreal ratio = 1);
    // The pictures of the document shown now.
    const std::vector<QImage>& Pictures() const { return pictures_; }

private:
    std::vector<QImage> pictures_;
    int generation_ = 0; // new addresses at every load: the document keeps images by address
};
