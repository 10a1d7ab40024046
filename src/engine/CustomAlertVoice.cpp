#include "CustomAlertVoice.h"

const QList<CustomAlertVoice>& CustomAlertVoice::all() {
    using G = CustomAudioGender;
    static const QList<CustomAlertVoice> catalogue{
        {QStringLiteral("English_Female_Ivrel"), QStringLiteral("en"), G::female,
         QStringLiteral("Ivrel")},
        {QStringLiteral("English_Male_Tolvan"), QStringLiteral("en"), G::male,
         QStringLiteral("Tolvan")},
        {QStringLiteral("French_Female_Marivel"), QStringLiteral("fr"), G::female,
         QStringLiteral("Marivel")},
        {QStringLiteral("French_Female_Zelth_1"), QStringLiteral("fr"), G::female,
         QStringLiteral("Zelth 1")},
        {QStringLiteral("French_Female_Zelth_2"), QStringLiteral("fr"), G::female,
         QStringLiteral("Zelth 2")},
        {QStringLiteral("French_Female_Zelth_3"), QStringLiteral("fr"), G::female,
         QStringLiteral("Zelth 3")},
        {QStringLiteral("French_Female_Pirra_2"), QStringLiteral("fr"), G::female,
         QStringLiteral("Pirra")},
        {QStringLiteral("French_Female_Tolvan_1"), QStringLiteral("fr"), G::female,
         QStringLiteral("Tolvan 1")},
        {QStringLiteral("French_Female_Tolvan_2"), QStringLiteral("fr"), G::female,
         QStringLiteral("Tolvan 2")},
        {QStringLiteral("French_Male_Dastor_1"), QStringLiteral("fr"), G::male,
         QStringLiteral("Dastor 1")},
        {QStringLiteral("French_Male_Dastor_2"), QStringLiteral("fr"), G::male,
         QStringLiteral("Dastor 2")},
        {QStringLiteral("French_Male_Keldo"), QStringLiteral("fr"), G::male,
         QStringLiteral("Keldo")},
        {QStringLiteral("French_Male_Keldo_1"), QStringLiteral("fr"), G::male,
         QStringLiteral("Keldo 1")},
        {QStringLiteral("French_Male_Keldo_2"), QStringLiteral("fr"), G::male,
         QStringLiteral("Keldo 2")},
        {QStringLiteral("French_Male_Keldo_Alternative"), QStringLiteral("fr"), G::male,
         QStringLiteral("Keldo alternative")},
        {QStringLiteral("Japanese_Female_Ivrel_1"), QStringLiteral("ja"), G::female,
         QStringLiteral("Ivrel 1")},
        {QStringLiteral("Japanese_Female_Ivrel_2"), QStringLiteral("ja"), G::female,
         QStringLiteral("Ivrel 2")},
        {QStringLiteral("Japanese_Female_Ivrel_3"), QStringLiteral("ja"), G::female,
         QStringLiteral("Ivrel 3")},
        {QStringLiteral("Japanese_Male_Tolvan"), QStringLiteral("ja"), G::male,
         QStringLiteral("Tolvan")},
    };
    return catalogue;
}

QList<CustomAlertVoice> CustomAlertVoice::choices(CustomAudioLanguage language,
                                                  CustomAudioGender gender, const QLocale& locale) {
    const QString code = resolvedCode(language, locale);
    QList<CustomAlertVoice> matching;
    for (const CustomAlertVoice& voice : all()) {
        if (voice.languageCode == code && voice.gender == gender) {
            matching.append(voice);
        }
    }
    return matching;
}
