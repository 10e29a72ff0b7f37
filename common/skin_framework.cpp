#include "skin_framework.h"

#include "app_error.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

[[noreturn]] void broken(const QString& path, const QString& why)
{
    throw AppError(QStringLiteral("Cannot load skin file %1: %2").arg(path, why));
}

} // namespace

QString SkinFramework::decodeSkin(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        throw AppError(QStringLiteral("the file is empty"));
    }
    if (bytes.size() > kMaxSkinBytes) {
        throw AppError(QStringLiteral("the file is larger than %1 bytes").arg(kMaxSkinBytes));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        throw AppError(QStringLiteral("the file is not UTF-8 text"));
    }
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f') {
            throw AppError(QStringLiteral("the file holds control characters"));
        }
    }
    return text;
}

void SkinFramework::LoadSkin(const QString& path, const QString& iniName)
{
    Q_UNUSED(iniName);
    const QFileInfo info(path);
    if (!info.exists()) {
        broken(path, QStringLiteral("no such file"));
    }
    if (!info.isFile()) {
        broken(path, QStringLiteral("not a file"));
    }
    // Checked before reading so a huge file is never read whole.
    if (info.size() > kMaxSkinBytes) {
        broken(path, QStringLiteral("the file is larger than %1 bytes").arg(kMaxSkinBytes));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        broken(path, file.errorString());
    }
    const QByteArray bytes = file.read(kMaxSkinBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        broken(path, file.errorString());
    }
    try {
        mStyleSheet = decodeSkin(bytes);
    } catch (const AppError& e) {
        broken(path, e.description());
    }
    mLoaded = true;
}

void SkinFramework::ApplyWindow(QWidget& window)
{
    if (!mLoaded) {
        throw AppError(QStringLiteral("No skin is loaded"));
    }
    window.setStyleSheet(mStyleSheet);
}
