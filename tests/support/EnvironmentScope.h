#pragma once

#include <QByteArray>

// Sets an environment variable for one test and restores its old value (or its absence) after.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const QByteArray& value)
        : m_name(name), m_hadValue(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentScope()
    {
        if (m_hadValue)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* m_name;
    bool m_hadValue;
    QByteArray m_saved;
};
