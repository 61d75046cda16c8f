#include "results/TWClipboardWriter.h"

#include "platform/TWDisplayText.h"
#include "results/TWFileUri.h"

#include <QClipboard>
#include <QGuiApplication>

std::unique_ptr<QMimeData> TWClipboardWriter::mimeDataForPath(const std::string& rawPath) {
    auto data = std::make_unique<QMimeData>();
    data->setText(QString::fromStdString(displayTextForBytes(rawPath)));
    if (!isValidUtf8(rawPath))
        data->setData(QStringLiteral("text/uri-list"), fileUriForRawPath(rawPath) + "\r\n");
    return data;
}

void TWClipboardWriter::copyPath(const std::string& rawPath) {
    QGuiApplication::clipboard()->setMimeData(mimeDataForPath(rawPath).release());
}
