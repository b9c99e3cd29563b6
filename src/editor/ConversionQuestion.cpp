#include "editor/ConversionQuestion.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/ConversionLoss.h"
#include "model/Keyboard.h"

#include <optional>

namespace {

std::string LossLine(uint32_t id, uint32_t count, uint32_t of)
{
    return "\n- " +
           ReplaceFirst(ReplaceFirst(LoadText(id), "%s", std::to_string(count)), "%t", std::to_string(of));
}

} // namespace

std::string MakeConversionQuestion(Keyboard& keyboard, uint8_t item)
{
    std::string question;
    if (!keyboard.GetConversionWarning(item, &question)) {
        return std::string();
    }
    const std::optional<ConversionLoss> loss = PredictConversionLoss(keyboard, item);
    if (!loss || loss->IsEmpty()) {
        return question;
    }
    question += "\n\n" + LoadText(IDS_LOSS_HEADING);
    if (loss->layoutsAfter < loss->layoutsBefore) {
        question += LossLine(IDS_LOSS_LAYOUTS, loss->layoutsBefore - loss->layoutsAfter, loss->layoutsBefore);
    }
    if (loss->keysCut != 0) {
        question += LossLine(IDS_LOSS_KEYS_CUT, loss->keysCut, loss->capacity);
    }
    if (loss->keysCleared != 0) {
        question += LossLine(IDS_LOSS_KEYS_CLEARED, loss->keysCleared, 0);
    }
    if (loss->codesDropped != 0) {
        question += LossLine(IDS_LOSS_CODES, loss->codesDropped, 0);
    }
    return question;
}
