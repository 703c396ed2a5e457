#pragma once
// Exceptions of the plug-in host. Each carries the message shown to the user.
#include <QString>
#include <stdexcept>

class ESPIError : public std::runtime_error
{
public:
    explicit ESPIError(const QString &message) : std::runtime_error(message.toStdString()), FMessage(message)
    {
    }
    const QString &message() const { return FMessage; }

private:
    QString FMessage;
};

// The library cannot be loaded at all.
class ESPIFOpenErrorSPI : public ESPIError
{
public:
    explicit ESPIFOpenErrorSPI(const QString &fileName);
};

// Treated like ESPIFOpenErrorSPI; kept for plug-in code that raises it.
class ESPIInvalidSPI : public ESPIError
{
public:
    using ESPIError::ESPIError;
};

// A required export is missing, or a method was called whose export is missing.
class ESPIInvalidAPI : public ESPIError
{
public:
    ESPIInvalidAPI(const QString &apiName, const QString &fileName);
};

// A second plug-in manager was created.
class ESPIDupCreateSPIs : public ESPIError
{
public:
    ESPIDupCreateSPIs();
};

// Nothing could decode a picture.
class EInvalidGraphic : public ESPIError
{
public:
    using ESPIError::ESPIError;
};
