#include "player/engine/BassErrorText.h"

#include <iterator>

namespace {

struct TBassErrorWords {
    int Code;
    const char* English;
    const char* Russian;  // null: the Russian box shows the default text
};

const TBassErrorWords kBassErrorWords[] = {
    {0, "all is OK", "всё в порядке"},
    {1, "memory error", "ошибка памяти"},
    {2, "can't open the file", "файл не открывается"},
    {3, "can't find a free sound driver", "нет свободного звукового драйвера"},
    {4, "the sample buffer was lost", "потерян звуковой буфер"},
    {5, "invalid handle", "неверный указатель"},
    {6, "unsupported format", "неподдерживаемый формат"},
    {7, "invalid playback position", "неверная позиция воспроизведения"},
    {8, "SoundIni has not been successfully called", "SoundIni не был успешно вызван"},
    {9, "SoundStart has not been successfully called", "SoundStart не был успешно вызван"},
    {11, "device needs to be reinitialized", "устройству требуется переинициализация"},
    {14, "already initialized", "уже инициализирован"},
    {17, "file does not contain audio", "файл не содержит звука"},
    {18, "can't get a free channel", "нет свободного канала"},
    {19, "an illegal type was specified", "указан неверный тип"},
    {20, "an illegal parameter was specified", "указан неверный параметр"},
    {21, "no 3D support", "нет поддержки 3D"},
    {22, "no EAX support", "нет поддержки EAX"},
    {23, "illegal device number", "неверный номер устройства"},
    {24, "not playing", "не в режиме воспроизведения"},
    {25, "illegal sample rate", "неверная частота дискретизации"},
    {27, "the stream is not a file stream", "поток не файловый"},
    {29, "no hardware voices available", "недоступны аппаратные голоса"},
    {31, "the MOD music has no sequence data", "в MOD-музыке нет данных секвенции"},
    {33, "couldn't create the file", "не удалось создать файл"},
    {34, "effects are not enabled", "эффекты не включены"},
    {37, "requested data is not available", "запрошенные данные недоступны"},
    {38, "the channel is a \"decoding channel\"", "это \"канал декодирования\""},
    {39, "a sufficient DirectX version is not installed", "не установлена соответствующая версия DirectX"},
    {40, "connection timedout", nullptr},
    {41, "unsupported file format", "неподдерживаемый формат файла"},
    {42, "unavailable speaker", "недоступный динамик"},
    {43, "invalid BASS version for add-on", "неподходящая надстройке версия BASS"},
    {44, "codec is not available/supported", "неподдерживаемый кодек"},
    {45, "the sound has ended", "звук иссяк"},
    {46, "the device is busy", "устройство занято"},
    {47, "unstreamable file", "файл, не преобразовываемый в поток"},
    {48, "unsupported protocol", "неподдерживаемый протокол"},
};

constexpr const char* kMysteryEnglish = "some mystery error";
constexpr const char* kMysteryRussian = "неизвестная ошибка";

}  // namespace

std::string BassErrorText(int code, bool russian)
{
    for (const TBassErrorWords& words : kBassErrorWords) {
        if (words.Code != code)
            continue;
        if (!russian)
            return words.English;
        return words.Russian ? words.Russian : kMysteryRussian;
    }
    return russian ? kMysteryRussian : kMysteryEnglish;
}
