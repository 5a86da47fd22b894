#include "common/GraphExport.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QSvgGenerator>

#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "engine/SafeSave.h"
#include "engine/Version.h"

namespace halvorn::ui {

QImage GraphImage(const DrawingSurface& surface) {
    return surface.RenderDrawing(kExportScale);
}

namespace {

// The program that drew a picture, in the PNG's "Software" text and the SVG's description.
QString DrawnBy() {
    return QStringLiteral("Halvorn ") + QString::fromStdString(ProgramVersion());
}

}  // namespace

QByteArray GraphPng(const DrawingSurface& surface) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImage image = GraphImage(surface);
    image.setText(QStringLiteral("Software"), DrawnBy());
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray GraphSvg(const DrawingSurface& surface, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    const QSize size = surface.DrawingSize();
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // The screen's resolution, so texts sized in points keep their size against the lines.
    svg.setResolution(surface.logicalDpiX());
    svg.setTitle(title);
    svg.setDescription(DrawnBy());
    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    surface.PaintDrawing(painter);
    painter.end();
    return bytes;
}

// Through the program's one safe save: the picture is made in memory first, then written under a temporary
// name beside the target and renamed over it (links followed, FIFOs, devices, folders and read-only files
// refused, an earlier file left whole on any failure).
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString& error) {
    std::string message;
    if (SaveFileSafely(QFile::encodeName(path).toStdString(),
                       std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &message))
        return true;
    error = QString::fromStdString(message);
    return false;
}

GraphMenu::GraphMenu(DrawingSurface& surface, MessagePresenter& presenter, const QString& baseName)
    : QObject(&surface), surface_(surface), presenter_(presenter), baseName_(baseName) {
    menu_ = new QMenu(&surface);
    menu_->setObjectName(QStringLiteral("GraphMenu"));
    connect(menu_->addAction(tr("PNG で保存…")), &QAction::triggered, this, &GraphMenu::SavePng);
    connect(menu_->addAction(tr("SVG で保存…")), &QAction::triggered, this, &GraphMenu::SaveSvg);
    connect(menu_->addAction(tr("クリップボードにコピー")), &QAction::triggered, this,
            &GraphMenu::CopyToClipboard);
    surface.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&surface, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(surface_.mapToGlobal(at)); });
}

bool GraphMenu::SavePng() {
    return Save(false);
}

bool GraphMenu::SaveSvg() {
    return Save(true);
}

bool GraphMenu::Save(bool svg) {
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("png");
    const QString title = svg ? tr("SVG で保存") : tr("PNG で保存");
    const QString filter = svg ? tr("SVG 画像 (*.svg)") : tr("PNG 画像 (*.png)");
    QWidget* window = surface_.window();
    const std::optional<QString> answer =
        presenter_.AskSaveFileName(window, title, QDir::current().filePath(baseName_ + "." + suffix), filter);
    if (!answer || answer->isEmpty())
        return false;
    QString path = *answer;
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += "." + suffix;

    const QByteArray bytes = svg ? GraphSvg(surface_, baseName_) : GraphPng(surface_);
    //: The reason in the message that a graph file could not be saved.
    QString error = tr("the picture could not be made");
    if (bytes.isEmpty() || !WriteFileSafely(path, bytes, error)) {
        //: %1 is the file's path, %2 the reason.
        presenter_.Warning(
            window,
            tr(" ファイル %1 を保存できませんでした（%2） ").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    return true;
}

void GraphMenu::CopyToClipboard() {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(GraphImage(surface_));
}

}  // namespace halvorn::ui
