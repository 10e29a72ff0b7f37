#pragma once

#include <QFileInfo>
#include <QString>

#include <rtl/ustring.hxx>

#include <functional>

namespace word {

// A file the office writes for us: written beside its target under a scratch name and renamed
// over it, so a failed write leaves no partial file, and the rename replaces whatever is at the
// target (a link, say) instead of writing through it. The target is refused up front when it
// cannot be written at all.
class DocumentStore
{
public:
    explicit DocumentStore(const QString& path);
    // write stores the document at the URL it is given; any failure becomes a word::Error.
    void store(const std::function<void(const rtl::OUString& url)>& write);

private:
    QString mPath;
    QFileInfo mTarget;
};

} // namespace word
