#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <vector>

// Environment variables changed for a scope: at its end each is put back as it was, set or not,
// so that a case leaves the next one the environment the suite gave it.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const char* name, const QByteArray& value) { set(name, value); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { restore(); }

    void set(const char* name, const QByteArray& value)
    {
        save(name);
        qputenv(name, value);
    }
    void unset(const char* name)
    {
        save(name);
        qunsetenv(name);
    }
    // Puts everything back now, latest change first.
    void restore()
    {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->value) {
                qputenv(it->name.constData(), *it->value);
            } else {
                qunsetenv(it->name.constData());
            }
        }
        mSaved.clear();
    }

private:
    struct Saved
    {
        QByteArray name;
        std::optional<QByteArray> value;
    };

    void save(const char* name)
    {
        mSaved.push_back({name, qEnvironmentVariableIsSet(name)
                                    ? std::optional<QByteArray>(qgetenv(name))
                                    : std::nullopt});
    }

    std::vector<Saved> mSaved;
};
