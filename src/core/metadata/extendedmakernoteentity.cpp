#include "metadata/extendedmakernoteentity.h"

#include "metadata/makernotefields.h"

const std::vector<ExtendedMakerNoteEntity::Field>& ExtendedMakerNoteEntity::fields()
{
    // The second generation carries every field of the record, each once.
    static const std::vector<Field> list = [] {
        std::vector<Field> all;
        for (const MakerNoteField& field : MakerNoteFields::table) {
            if (field.isIn(MakerNoteGeneration::Second))
                all.push_back({field.name, field.member});
        }
        return all;
    }();
    return list;
}
