#pragma once

#include <QString>

#include <stdexcept>

// A failure with a description meant for the user's eyes; the error trap shows what() as is.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString& description) : std::runtime_error(description.toStdString()) {}

    QString description() const { return QString::fromUtf8(what()); }
};
