#pragma once
// Every text the user sees is looked up here, at each use, so that switching
// the active language takes effect everywhere at once.

#include "res/strid.h"
#include "res/textformat.h"

#include <QString>

#include <optional>

namespace Res {

// A source of translated texts (a language library). Returning nothing for
// an id falls back to the built-in English table.
class IStringSource
{
public:
    virtual ~IStringSource() = default;
    virtual std::optional<QString> find(int id) const = 0;
};

// The built-in English text of `id`, or an empty text when there is none.
QString BuiltinString(int id);

// All ids of the built-in table, in ascending order (language libraries are
// checked against it).
const int *BuiltinIds(int *count);

// Replaces the active source; null restores the built-in language. The caller
// keeps ownership and must keep the source alive while it is active. Meant to
// be called on the user-interface thread while no lookup runs elsewhere.
void SetStringSource(const IStringSource *source);
const IStringSource *StringSource();

// The text of `id` in the active language.
QString LoadString(int id);

// LoadString(id) used as a printf-style format.
inline QString FormatString(int id, std::initializer_list<FormatArg> args)
{
    return Format(LoadString(id), args);
}

// A counted text: `one` for a count of 1 (its text holds the "1" itself),
// `many` formatted with the count otherwise.
inline QString FormatCounted(int one, int many, int count)
{
    return count == 1 ? LoadString(one) : Format(LoadString(many), {count});
}

}   // namespace Res
