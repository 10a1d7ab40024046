#pragma once

#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"

#include <QList>
#include <QLocale>
#include <QString>

// One recorded reset-alert voice. Its id is also the base name of its clip resource.
struct CustomAlertVoice {
    QString id;
    // "en", "fr" or "ja".
    QString languageCode;
    CustomAudioGender gender = CustomAudioGender::female;
    // Shown in the voice picker.
    QString name;

    // The fixed catalogue of nineteen voices, in picker order.
    static const QList<CustomAlertVoice>& all();
    // The voices offered for a language setting and gender, in catalogue order.
    static QList<CustomAlertVoice> choices(CustomAudioLanguage language, CustomAudioGender gender,
                                           const QLocale& locale);

    friend bool operator==(const CustomAlertVoice&, const CustomAlertVoice&) = default;
};
