#pragma once
// An error that carries its own text for the user. The exception guard shows
// that text, whichever layer threw it, without knowing the layer.

#include <QString>

namespace Res {

class IUserMessage
{
public:
    virtual ~IUserMessage() = default;
    virtual QString message() const = 0;
};

}   // namespace Res
