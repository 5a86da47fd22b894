#pragma once

// Graphs users can take away: a drawing surface's picture encoded as PNG or SVG from its recorded
// drawing (the same replay that paints the screen), written safely to disk, and the right-click menu
// every graph carries ("PNG で保存…", "SVG で保存…", "クリップボードにコピー").

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>

class QMenu;

namespace halvorn::ui {

class DrawingSurface;
class MessagePresenter;

// PNG pictures are this many times the on-screen size: fine enough for a printed report.
inline constexpr int kExportScale = 3;

// The picture of the drawing area with its overlays at kExportScale.
QImage GraphImage(const DrawingSurface& surface);
// The PNG file of GraphImage.
QByteArray GraphPng(const DrawingSurface& surface);
// The SVG file of the drawing area with its overlays, at the on-screen size in pixels: lines as lines
// and polylines, texts as text. `title` becomes the SVG's title.
QByteArray GraphSvg(const DrawingSurface& surface, const QString& title);

// Writes `bytes` as the file `path` with SaveFileSafely (engine/SafeSave.h): an earlier file of that name is
// replaced only once all of it is written and left as it was on failure, a link is followed to the file it
// names, and a folder, pipe, device or read-only file is refused; `error` says why (one English line).
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString& error);

// The right-click menu of a graph. It lives as long as the surface (its parent) and opens on the
// surface's context-menu request, which the busy run's input block holds back like any other input.
class GraphMenu : public QObject {
    Q_OBJECT
public:
    // `baseName` names the files offered by default ("bowtie" offers bowtie.png in the working folder).
    GraphMenu(DrawingSurface& surface, MessagePresenter& presenter, const QString& baseName);

    QMenu& Menu() { return *menu_; }

    // Ask for a file name, add the extension when missing, write the picture; warn naming the file when
    // it cannot be written. Return whether a file was written.
    bool SavePng();
    bool SaveSvg();
    // The PNG picture as an image on the clipboard.
    void CopyToClipboard();

private:
    bool Save(bool svg);

    DrawingSurface& surface_;
    MessagePresenter& presenter_;
    QString baseName_;
    QMenu* menu_ = nullptr;
};

}  // namespace halvorn::ui
