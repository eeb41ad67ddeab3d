#include "Legality.h"

#include <array>

namespace Legality {

namespace {
// String ids of the errors 1..20; they do not follow the codes in order.
constexpr std::array<int, 21> errorIds = { 0, 40000, 40001, 40002, 40003, 40004, 40007, 40005, 40006, 40021,
    40008, 40018, 40019, 40020, 40022, 40009, 40013, 40014, 40016, 40017, 40030 };
constexpr int warningFormatId = 40121;
}

Message MessageFor(LegalityCode code)
{
    Message message;
    if (IsError(code)) {
        message.kind = MessageKind::Error;
        message.style = ErrorStyle;
        message.stringId = errorIds[code];
        message.opensDataDialog = code >= WhiteInCheckNotToMove && code <= BlackCastlingNotAllowed;
    } else if (IsWarning(code)) {
        message.kind = MessageKind::Question;
        message.style = WarningStyle;
        int id = warningFormatId - code;
        // The piece-count warnings share one question that names the pieces.
        if (code >= ManyBlackRooks) {
            message.stringId = warningFormatId;
            message.argumentId = id;
        } else {
            message.stringId = id;
        }
    }
    return message;
}

} // namespace Legality
