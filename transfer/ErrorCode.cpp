// SPDX-License-Identifier: MIT
#include "transfer/ErrorCode.h"

#include <array>

namespace {
// Indexed by code - 1; the texts are Portuguese because the component shipped that way.
constexpr std::array<const char *, 3> messages = {
    "O aplicativo está ocupado!",
    "Nenhum download está ativo!",
    "A URL de origem e/ou o local de destino não foi especificado.",
};
}

QString errorMessage(ErrorCode code)
{
    return QString::fromUtf8(messages.at(static_cast<std::size_t>(code) - 1));
}
