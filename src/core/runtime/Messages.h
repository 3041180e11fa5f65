#pragma once
// Message texts that more than one place shows: written here once, used by the core and
// by every front end.

namespace orvane::msg {

inline constexpr const char* kRunAbandoned = "計算を中止しました。";
inline constexpr const char* kComputing = "ただ今、計算中．．．．";
inline constexpr const char* kFileNotFound = "指定したファイルが見つかりません。";
inline constexpr const char* kPeriodNotPositive = "周期は0より大きくして下さい。";
inline constexpr const char* kOffshoreRegionQuestion = "観測点より沖側の領域は計算されません。よろしいですか。";
inline constexpr const char* kOffshoreRegionDeclined = "観測点より沖側の領域を計算しないため、比較から外しました。";
inline constexpr const char* kObservationPointMissing = "観測点の水深または離岸距離が入力されていません。";
inline constexpr const char* kRunEndedEarly = "計算が途中で終わりました。";
inline constexpr const char* kNotForRegularWaves =
    "この計算方法は不規則波に適用できません。\n２～４番目の方法を選んで下さい。";
inline constexpr const char* kObsDepthNeeded =
    "--obs-depth が必要です: この計算方法は観測点の水深 (MSL基準, m) または離岸距離 (m) から始めます。";
// A run that marched but drew no point in the display range and reached no estimation point.
inline constexpr const char* kNoEstimationPoints = "推定位置を入力して下さい。";
inline constexpr const char* kNoIntervalChannels = "インターバル記録のチャンネルがありません。";
inline constexpr const char* kOverwriteQuestion = "同名のファイルが存在します。上書きしてよろしいですか。";
inline constexpr const char* kOutOfMemory = "メモリが足りません。入力が大きすぎるか、壊れています。";
inline constexpr const char* kTooManySteps = "計算点の数が上限を超えました。";
inline constexpr const char* kStepStalled = "計算点が進みません。";
inline constexpr const char* kAllDry = "表示範囲はこの潮位ではすべて陸上です。潮位を確かめて下さい。";
inline constexpr const char* kNothingComputed =
    "表示範囲の中で計算できた点がありません。沖波の波高・周期と潮位を確かめて下さい。";

}  // namespace orvane::msg
