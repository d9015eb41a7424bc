#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace lumaref {

// The text an error box shows for an error's message: a full stop is added when the text is not
// empty and its last character's code lies above that of ".".
QString errorBoxText(const QString& message);

// Runs a handler and catches whatever it throws, so no exception crosses the event loop.
// Returns the error box text of the failure, or nothing when the handler ran to its end.
std::optional<QString> runCatching(const std::function<void()>& handler);

}  // namespace lumaref
