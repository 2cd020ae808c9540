// How well the code page of a mission's texts is told from their bytes: for
// each language a few hundred generated files of a few hundred bytes (entries
// made of sentences below, in random order), each written in the language's
// Windows code page, and again in a DOS code page; each file is told by
// uchardet alone, and by CodePageDetect::detect() as if it stood in an
// `english` folder (1252 preferred, as for files in no language folder) and
// in its own language's folder (its Windows code page preferred). A code
// page told counts as right when it reads the texts as written (plain ASCII:
// nothing is told and the folder's code page is kept).
// Prints the share told right per language beside the aim; the exit code is
// 1 when an aim is missed. scripts/bench-codepages.sh runs it.
#include "core/document/codepages.h"
#include "core/document/codepagedetect.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <optional>

namespace {

struct Language {
    const char *name;
    int codePage;
    QList<const char16_t *> sentences;
};

const QList<Language> &languages()
{
    static const QList<Language> all = {
        {"Polish", 1250, {
            u"Badałem ruiny starej wieży przez trzy dni, ale nie znalazłem żadnego śladu złodzieja.",
            u"Kupiec z Gródka przywiózł wóz pełen łakoci i beczkę miodu pitnego.",
            u"Strażnik zasnął przy bramie, więc przemknąłem się cicho obok śpiących psów.",
            u"Jeśli oddasz mi klucz do piwnicy, zdradzę ci, gdzie ukryto złoty kielich.",
            u"Księżyc świecił nad jeziorem, a mgła powoli pełzła między drzewami.",
            u"Źle się dzieje w naszym mieście: ludzie znikają nocą bez śladu.",
            u"Musisz dotrzeć do zamku przed świtem i przekazać list hrabinie.",
            u"Ćwiczyłem szermierkę z mistrzem Żegotą, lecz wciąż przegrywam każdy pojedynek.",
            u"Na rynku sprzedają gęsi, jabłka i świeżo upieczony chleb.",
            u"Ostrożnie! Podłoga w tej komnacie jest zbutwiała i łatwo się załamie.",
        }},
        {"Czech", 1250, {
            u"Zkoumal jsem trosky staré věže tři dny, ale po zloději jsem nenašel ani stopu.",
            u"Kupec z Hradce přivezl vůz plný sladkostí a sud medoviny.",
            u"Strážný usnul u brány, a tak jsem tiše proklouzl kolem spících psů.",
            u"Když mi dáš klíč od sklepa, prozradím ti, kde je ukrytý zlatý kalich.",
            u"Měsíc svítil nad jezerem a mlha se pomalu plížila mezi stromy.",
            u"V našem městě se děje něco zlého: lidé v noci mizí beze stopy.",
            u"Musíš dorazit na hrad před úsvitem a předat dopis hraběnce.",
            u"Cvičil jsem šerm s mistrem Řehořem, ale pořád prohrávám každý souboj.",
            u"Na náměstí prodávají husy, jablka a čerstvě upečený chléb.",
            u"Pozor! Podlaha v téhle komnatě je shnilá a snadno se propadne.",
        }},
        {"Hungarian", 1250, {
            u"Három napig kutattam az öreg torony romjai között, de a tolvajnak nyomát sem leltem.",
            u"A kereskedő egy szekérnyi édességet és egy hordó mézsört hozott.",
            u"Az őr elaludt a kapunál, így csendben elosontam az alvó kutyák mellett.",
            u"Ha odaadod a pince kulcsát, elárulom, hol rejtették el az arany serleget.",
            u"A hold a tó fölött világított, a köd lassan kúszott a fák között.",
            u"Baj van a városunkban: az emberek éjjel nyomtalanul eltűnnek.",
            u"Hajnal előtt el kell érned a várat, és át kell adnod a levelet a grófnőnek.",
            u"Vívást gyakoroltam a mesterrel, de még mindig minden párbajt elveszítek.",
            u"A piacon libát, almát és frissen sült kenyeret árulnak.",
            u"Vigyázz! A padló ebben a teremben korhadt, és könnyen beszakad.",
        }},
        {"Russian", 1251, {
            u"Я три дня обыскивал развалины старой башни, но так и не нашёл следов вора.",
            u"Купец из Городка привёз полную телегу сладостей и бочку медовухи.",
            u"Стражник уснул у ворот, и я тихо проскользнул мимо спящих собак.",
            u"Если отдашь мне ключ от погреба, я скажу, где спрятан золотой кубок.",
            u"Луна светила над озером, а туман медленно полз между деревьями.",
            u"В нашем городе творится неладное: люди исчезают по ночам без следа.",
            u"Ты должен добраться до замка до рассвета и передать письмо графине.",
            u"Я упражнялся в фехтовании с мастером, но всё ещё проигрываю каждый поединок.",
            u"На рынке продают гусей, яблоки и только что испечённый хлеб.",
            u"Осторожно! Пол в этой комнате прогнил и легко провалится.",
        }},
        {"German", 1252, {
            u"Drei Tage lang habe ich die Ruinen des alten Turms durchsucht, aber keine Spur des Diebes gefunden.",
            u"Der Händler aus dem Süden brachte einen Wagen voller Süßigkeiten und ein Fass Met.",
            u"Die Wache schlief am Tor ein, also schlich ich leise an den schlafenden Hunden vorbei.",
            u"Wenn du mir den Schlüssel zum Keller gibst, verrate ich dir, wo der goldene Kelch versteckt ist.",
            u"Der Mond schien über dem See, und der Nebel kroch langsam zwischen den Bäumen.",
            u"In unserer Stadt geht Übles vor: Nachts verschwinden Leute spurlos.",
            u"Du musst die Burg vor Sonnenaufgang erreichen und der Gräfin den Brief übergeben.",
            u"Ich übe das Fechten mit dem Meister, verliere aber noch immer jedes Duell.",
            u"Auf dem Markt verkauft man Gänse, Äpfel und frisch gebackenes Brot.",
            u"Vorsicht! Der Boden in dieser Kammer ist morsch und bricht leicht ein.",
        }},
        {"French", 1252, {
            u"J'ai fouillé les ruines de la vieille tour pendant trois jours sans trouver la moindre trace du voleur.",
            u"Le marchand du sud a apporté une charrette pleine de friandises et un tonneau d'hydromel.",
            u"Le garde s'est endormi près de la porte, alors je me suis glissé sans bruit devant les chiens.",
            u"Si tu me donnes la clé de la cave, je te révélerai où l'on a caché le calice doré.",
            u"La lune brillait au-dessus du lac et la brume rampait lentement entre les arbres.",
            u"Il se passe des choses étranges dans notre ville : des gens disparaissent la nuit.",
            u"Tu dois atteindre le château avant l'aube et remettre cette lettre à la comtesse.",
            u"Je m'entraîne à l'escrime avec le maître, mais je perds encore chaque duel.",
            u"Au marché, on vend des oies, des pommes et du pain tout juste sorti du four.",
            u"Attention ! Le plancher de cette pièce est pourri et cèdera facilement.",
        }},
        {"Italian", 1252, {
            u"Ho frugato fra le rovine della vecchia torre per tre giorni, ma del ladro non c'era traccia.",
            u"Il mercante del sud ha portato un carro pieno di dolci e una botte di idromele.",
            u"La guardia si è addormentata al cancello, così sono passato in silenzio accanto ai cani.",
            u"Se mi dai la chiave della cantina, ti dirò dov'è nascosto il calice d'oro.",
            u"La luna splendeva sul lago e la nebbia strisciava lenta fra gli alberi.",
            u"Nella nostra città accade qualcosa di strano: la gente sparisce di notte.",
            u"Devi raggiungere il castello prima dell'alba e consegnare la lettera alla contessa.",
            u"Mi esercito nella scherma con il maestro, però perdo ancora ogni duello.",
            u"Al mercato vendono oche, mele e pane appena sfornato; è già tutto pronto.",
            u"Attenzione! Il pavimento di questa stanza è marcio e cederà facilmente.",
        }},
        {"Spanish", 1252, {
            u"Registré las ruinas de la vieja torre durante tres días, pero no encontré ni rastro del ladrón.",
            u"El mercader del sur trajo un carro lleno de dulces y un barril de hidromiel.",
            u"El guardia se durmió junto a la puerta, así que pasé en silencio junto a los perros.",
            u"Si me das la llave de la bodega, te diré dónde escondieron el cáliz de oro.",
            u"La luna brillaba sobre el lago y la niebla se arrastraba despacio entre los árboles.",
            u"¿Qué ocurre en nuestra ciudad? La gente desaparece por la noche sin dejar rastro.",
            u"Debes llegar al castillo antes del amanecer y entregar la carta a la condesa.",
            u"Practico esgrima con el maestro, pero todavía pierdo cada duelo. ¡Qué vergüenza!",
            u"En el mercado venden gansos, manzanas y pan recién horneado por el panadero.",
            u"¡Cuidado! El suelo de esta habitación está podrido y se hundirá fácilmente.",
        }},
        {"English", 1252, {
            u"It rained all morning, but by noon the sky had cleared and the streets were dry again.",
            u"The merchant from the south brought a cart full of sweets and a barrel of mead.",
            u"The guard fell asleep at the gate, so I slipped quietly past the sleeping dogs.",
            u"If you give me the key to the cellar, I'll tell you where the golden chalice is hidden.",
            u"The moon shone over the lake \u2013 and the mist crept slowly between the trees.",
            u"Something is wrong in our town: people vanish at night without a trace.",
            u"You must reach the castle before dawn and hand the letter to the countess.",
            u"I practise fencing with the master, but I still lose every duel\u2026",
            u"At the market they sell geese, apples and bread fresh from the oven.",
            u"Careful! The floor of this chamber is rotten and will give way easily.",
        }},
    };
    return all;
}

// A file of entries of the sentences in random order, its texts at least
// `size` characters long.
QString entriesOf(const Language &language, QRandomGenerator &random, int size)
{
    QString file;
    int texts = 0;
    for (int entry = 0; texts < size; ++entry) {
        const QString sentence = QString::fromUtf16(
            language.sentences.at(static_cast<qsizetype>(random.bounded(language.sentences.size()))));
        file += QStringLiteral("text_%1: \"%2\"\r\n").arg(entry).arg(sentence);
        texts += static_cast<int>(sentence.size());
    }
    return file;
}

QByteArray encoded(const QString &text, int codePage)
{
    if (CodePages::isSupported(codePage))
        return CodePages::encode(text, codePage).value_or(QByteArray());
    QStringEncoder encoder(QByteArray("IBM" + QByteArray::number(codePage)).constData());
    QByteArray bytes = encoder.encode(text);
    return encoder.hasError() || !encoder.isValid() ? QByteArray() : bytes;
}

// Each byte of 0x80 and above with a few bytes around it, for QW_BENCH_WRONG.
QByteArray highBytes(const QByteArray &texts)
{
    QByteArray out;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (static_cast<unsigned char>(texts[i]) >= 0x80)
            out += texts.mid(std::max<qsizetype>(0, i - 3), 7).toPercentEncoding(" ") + " | ";
    }
    return out;
}

struct Tally {
    int files = 0;
    int uchardetRight = 0;
    int rightInEnglishFolder = 0;
    int rightInOwnFolder = 0;
};

std::optional<QString> decoded(const QByteArray &bytes, int codePage)
{
    if (codePage == CodePageDetect::Ascii)
        return QString::fromLatin1(bytes);
    if (CodePages::isSupported(codePage))
        return CodePages::decode(bytes, codePage).text;
    if (!CodePageDetect::isDosCodePage(codePage))
        return std::nullopt;
    QStringDecoder decoder(QByteArray("IBM" + QByteArray::number(codePage)).constData());
    return QString(decoder.decode(bytes));
}

// Told right: the code page told reads the texts as they were written (the
// Hungarian of CP852 without ő and ű is the same in CP850). Plain ASCII: told
// nothing, the folder's code page is kept.
bool right(const QByteArray &texts, int told, int codePage)
{
    return told == codePage || decoded(texts, told) == decoded(texts, codePage);
}

} // namespace

int main()
{
    constexpr int FilesPerLanguage = 300;
    constexpr double Aim = 99.0;
    QRandomGenerator random(20261207);
    std::printf("%-26s %6s %10s %14s %14s %6s\n", "language (code page)", "files", "uchardet", "english folder",
                "own folder", "aim");
    bool missed = false;
    const auto run = [&](const Language &language, int codePage) {
        Tally tally;
        for (int i = 0; i < FilesPerLanguage; ++i) {
            const int size = 150 + static_cast<int>(random.bounded(350));   // a few hundred bytes
            const QByteArray bytes = encoded(entriesOf(language, random, size), codePage);
            if (bytes.isEmpty()) {
                std::fprintf(stderr, "%s cannot be written in %d\n", language.name, codePage);
                return;
            }
            const QByteArray texts = CodePageDetect::entryTexts(bytes);
            ++tally.files;
            tally.uchardetRight += right(texts, CodePageDetect::detectWithUchardetOnly(texts), codePage) ? 1 : 0;
            tally.rightInEnglishFolder += right(texts, CodePageDetect::detect(texts, 1252), codePage) ? 1 : 0;
            tally.rightInOwnFolder += right(texts, CodePageDetect::detect(texts, language.codePage), codePage) ? 1 : 0;
            const int preferred = qEnvironmentVariableIntValue("QW_BENCH_WRONG");
            if (qEnvironmentVariableIsSet("QW_BENCH_WRONG") && !right(texts, CodePageDetect::detect(texts, preferred), codePage))
                std::fprintf(stderr, "%s in %d told %d: %s\n", language.name, codePage, CodePageDetect::detect(texts, preferred),
                             highBytes(texts).constData());
        }
        const auto share = [&](int count) { return 100.0 * count / tally.files; };
        const QByteArray label = QByteArray(language.name) + " (" + CodePageDetect::shortName(codePage).toLatin1() + ")";
        std::printf("%-26s %6d %9.1f%% %13.1f%% %13.1f%% %5.0f%%%s\n", label.constData(), tally.files,
                    share(tally.uchardetRight), share(tally.rightInEnglishFolder), share(tally.rightInOwnFolder), Aim,
                    std::min(share(tally.rightInEnglishFolder), share(tally.rightInOwnFolder)) < Aim ? "  MISSED" : "");
        missed = missed || std::min(share(tally.rightInEnglishFolder), share(tally.rightInOwnFolder)) < Aim;
    };
    for (const Language &language : languages())
        run(language, language.codePage);
    std::printf("DOS code pages:\n");
    for (const Language &language : languages()) {
        const int dos = language.codePage == 1251 ? 866 : language.codePage == 1250 ? 852 : 850;
        if (QByteArrayView(language.name) != "English")
            run(language, dos);
    }
    return missed ? 1 : 0;
}
