#include "app/BrandTable.h"

namespace app {

namespace {

// Rows in the order in which they are searched; codes 6, 12, 18, 26, 27, 30, 31, 32 and 37
// have no row.
const BrandRow rows[] = {
    {0, "Tovrask软件\\",
         "Ventelne|Lololin|Polsaix|Telbersa|Broixdri|Quorvane|"
         "Brotrolin|Vorfralin|Telvenzen|Teltrosa|Pennugat|Valoden|"
         "Cashozen|Holoor|Zendengat|Hololin|Marvortel|Brosadri|"
         "Marloven|Trovencas|Linzenix|Poltroven|Bropolfra|Bersava"},
    {1, "Hogat网络\\",
         "Sikvorho|Sikvenfra|Berdenva|Lozenbro|Qusikkal|Dritaho|"
         "Lopollin|Fratroix|Penbrota|Bergattel|Ixkalva"},
    {2, "Drimar软件\\",
         "Denloden"},
    {3, "Tavor科技\\",
         "Hohotro"},
    {4, "Linden科技\\",
         "Lincaspen|Bernuor|Sagatnu|Ruqusik|Gatcasru|Ixvorpol|"
         "Drimobro|Brovorfra|Qusikru|Dencassik|Trodriva|Zentaden|"
         "Castrolin|Zenixvor|Zenvorlo|Penlova|Penorgat|Nukalpol|"
         "Cassatro|Penlonu|Polvatel|Poltrodri|Savormo|Zenvenne"},
    {5, "Brocas科技\\",
         "Orberbro"},
    {9, "Nelin软件\\",
         "Qurulin"},
    {7, "Fraden软件\\",
         "Saormar"},
    {8, "Nuvor数码\\",
         "Sikberven|Nukalta|Siksikqu|Zenbertel|Linfrakal|Nunetel|"
         "Berkalgat|Trodrivor|Drivorvor|Ixvencas|Nuberlo"},
    {10, "Sikkal工作室\\",
         "Mopentro"},
    {11, "Satro网络\\",
         "Sikdriden"},
    {13, "Cassa工作室\\",
         "Homarlo"},
    {14, "Telsa科技\\",
         "Ruixnu"},
    {15, "Venvor网络\\",
         "Linnevor"},
    {16, "Trofra数码\\",
         "Kaltellin"},
    {17, "Telne工作室\\",
         "Sakalru"},
    {19, "Vatro数码\\",
         "Telnuor"},
    {20, "Saber网络\\",
         "Polpolcas"},
    {21, "Hosik工作室\\",
         "Loberdri"},
    {22, "Brova科技\\",
         "Ventrolin"},
    {23, "Linmo数码\\",
         "Nuzenva"},
    {24, "Vortro工作室\\",
         "Caszenpol|Orbernu|Qunukal|Moteldri|Brozenden|Hoframo|"
         "Vaqumo|Berdriqu|Marrumo|Ventelfra|Penvane|Sabertel|"
         "Kalpolor|Tadennu|Gatcasdri|Polhober"},
    {25, "Troqu网络\\",
         "Sanukal|Siknetel|Ixhonu|Marfrane|Nupentel|Pensikbro|"
         "Lotelzen|Penvenne|Dritaix|Troberlo|Sikfrata|Loruru|"
         "Sikkallin|Brolone|Trogatsik|Mardrivor|Berdenber|Taorlin|"
         "Marquber"},
    {28, "Penlin软件\\",
         "Samaror|Kalcastro|Vorruzen|Polixden|Zendenmar|Nulinpol|"
         "Vordenvor|Lovorix|Nebroru|Telvormar|Ruvenqu|Ruorbro|"
         "Vadriqu|Gatfrapol|Martaor|Castelsa|Ormarber|Qumoix|"
         "Kalvaven"},
    {29, "Zenkal科技\\",
         "Cascaspol|Lozennu|Qufraix|Telteltro|Qupolor|Kalvakal|"
         "Sazenlo|Telqutel|Polnupen|Hosikmar|Hotafra|Berlober|"
         "Gatdenru|Sikfrafra|Castaru|Bervaor|Ortelru|Momoven|"
         "Bervapol"},
    {33, "Nekal工作室\\",
         "Caspenlin|Drinukal|Telframar|Tanemar|Marorva|Dendenbro|"
         "Sadenfra|Linmarven|Trobrogat|Nemarfra|Sasikmar|Penvaor|"
         "Telrupen|Orhoqu|Polloix|Venvenmar|Vornumo|Nuvorsa|"
         "Savoror"},
    {34, "Zenix网络\\",
         "Qusikbro|Sapolvor|Gatlinne|Fratello|Casmolin|Cassane|"
         "Ormokal|Sikkalmar|Driruqu|Savorlin|Penlinmar|Gatrufra|"
         "Ixrunu|Mozendri|Pensaven|Neixber|Nuvorden|Fratropol|"
         "Venfrafra|Qudenta"},
    {35, "Linven软件\\",
         "Fraixpol|Saruven|Zendrigat|Vorberpen|Marmarta|Bersikbro|"
         "Rukallin|Bervorqu|Denmarqu|Gathoix|Vorsatro|Nelinpen|"
         "Qutelpol|Brokalpen|Vorpencas|Nefrapen|Fraoror|Linkalqu|"
         "Dendenlo|Sikpolho"},
    {36, "Penfra网络\\",
         "Bernusik|Samarne|Vororden|Berpolgat|Fradriven|Quixtro|"
         "Momartel|Bronugat|Sikmoho|Vortapen|Casfrafra|Tatamar|"
         "Gatqunu|Kaltelmar|Orvakal|Rusaber|Telpenta|Siktelzen|"
         "Polixbro|Fradrimo"},
    {38, "Dridri数码\\",
         "Frapenden|Castaden|Markalvor|Hosikru|Tacasmo|Nequix|"
         "Brogattel|Quixzen|Venneru|Vengatva|Ixorpen|Marnuzen|"
         "Penloor|Casbrolo|Quvenpen|Kalsikqu|Sikvenmo|Pollinta|"
         "Dengatdri|Tavormar"},
};

}  // namespace

std::span<const BrandRow> BrandTable() { return rows; }

}  // namespace app
