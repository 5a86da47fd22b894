<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>SpectrumPlot</name>
    <message>
        <source>Photon energy in keV</source>
        <translation>Photon energy in keV</translation>
    </message>
    <message>
        <source>Relative</source>
        <extracomment>The axis title of the spectrum graph, on three short lines left of the frame.</extracomment>
        <translation>Relative</translation>
    </message>
    <message>
        <source>Photon</source>
        <translation>Photon</translation>
    </message>
    <message>
        <source>Fluence</source>
        <translation>Fluence</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Application</name>
    <message>
        <source>減弱係数テーブルを読み込めないため、プログラムを終了します。</source>
        <translation>The attenuation table cannot be read; the program will close.</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Form1</name>
    <message>
        <source>CT装置の任意点におけるＸ線スペクトル</source>
        <translation>Estimates the X-ray spectrum at any</translation>
    </message>
    <message>
        <source>および ボウタイフィルタの形状を推定計算します</source>
        <translation>point of a CT scanner and its bowtie filter&apos;s shape</translation>
    </message>
    <message>
        <source>次の３つのデータが必要です（右図参照）</source>
        <translation>Three inputs are needed (see the figure):</translation>
    </message>
    <message>
        <source>１．焦点 - 回転中心間距離</source>
        <translation>1. Focus–centre distance</translation>
    </message>
    <message>
        <source>２．回転中心におけるアルミ半価層の実測値</source>
        <translation>2. HVL measured at the rotation centre</translation>
    </message>
    <message>
        <source>３．回転中心から側方向線上の照射線量（空気カーマ）</source>
        <translation>3. Air kerma along a lateral line from the centre</translation>
    </message>
    <message>
        <source>（線量プロファイル (最大25ポイント)）</source>
        <translation>(dose profile, up to 25 points)</translation>
    </message>
    <message>
        <source>計算方法はマニュアルに記載されています</source>
        <translation>The method is described in the manual</translation>
    </message>
    <message>
        <source>&#x3000;Halvorn  version 2</source>
        <translation>Halvorn  version 2</translation>
    </message>
    <message>
        <source>新規計算</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>結果検索</source>
        <translation>Results</translation>
    </message>
    <message>
        <source> マニュアルが見つかりません。次の場所に置かれているはずです： 
%1</source>
        <translation> The manual cannot be found. It should be in one of these places: 
%1</translation>
    </message>
    <message>
        <source>マニュアル</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source> マニュアルを開けませんでした： 
%1</source>
        <translation> The manual could not be opened: 
%1</translation>
    </message>
    <message>
        <source>Halvorn %1&#x3000;作業フォルダ： </source>
        <translation>Halvorn %1  Working folder: </translation>
    </message>
    <message>
        <source>マニュアルが見つかりません：
%1</source>
        <translation>The manual cannot be found:
%1</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Form2</name>
    <message>
        <source>Ｘ線 CT&#x3000;回転中心におけるX線スペクトルを</source>
        <extracomment>First line of the two-line headline (the second line goes on: computed from the measured HVL).</extracomment>
        <translation>X-ray CT: the X-ray spectrum at the rotation centre,</translation>
    </message>
    <message>
        <source>実測半価層から Tucker の近似式を応用して計算する</source>
        <translation>computed from the measured HVL with Tucker&apos;s formula</translation>
    </message>
    <message>
        <source>グラフ上で</source>
        <extracomment>The five hint lines beside the graph read as one sentence; each line at most about 120 pixels.</extracomment>
        <translation>Move the mouse</translation>
    </message>
    <message>
        <source>マウスを動かすと</source>
        <translation>over the graph to</translation>
    </message>
    <message>
        <source>光子エネルギーと</source>
        <translation>show the photon</translation>
    </message>
    <message>
        <source>相対光子数が</source>
        <translation>energy and the</translation>
    </message>
    <message>
        <source>表示されます</source>
        <translation>relative fluence</translation>
    </message>
    <message>
        <source>計算する</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>次へ進む</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Ｘ線管球・フィルタ</source>
        <translation>X-ray tube and filters</translation>
    </message>
    <message>
        <source>ターゲット角度</source>
        <translation>Target angle</translation>
    </message>
    <message>
        <source>度</source>
        <extracomment>Unit of the target angle: degrees.</extracomment>
        <translation>degrees</translation>
    </message>
    <message>
        <source>固有ろ過</source>
        <translation>Inherent filtration</translation>
    </message>
    <message>
        <source>付加</source>
        <extracomment>With the next line: &quot;added filter(s)&quot;, written on two short lines left of the bracket.</extracomment>
        <translation>Added</translation>
    </message>
    <message>
        <source>フィルタ</source>
        <translation>filters</translation>
    </message>
    <message>
        <source>アルミ</source>
        <extracomment>Material of an added filter, at most about 50 pixels: the element symbol.</extracomment>
        <translation>Al</translation>
    </message>
    <message>
        <source>銅</source>
        <translation>Cu</translation>
    </message>
    <message>
        <source>銀</source>
        <translation>Ag</translation>
    </message>
    <message>
        <source>Ｘ線管電圧</source>
        <translation>Tube voltage</translation>
    </message>
    <message>
        <source>（定電圧波形）</source>
        <extracomment>Under-title of the tube voltage: constant-potential waveform; at most about 115 pixels.</extracomment>
        <translation>(const. potential)</translation>
    </message>
    <message>
        <source>実測半価層</source>
        <translation>Measured HVL</translation>
    </message>
    <message>
        <source>スペクトルから計算した</source>
        <extracomment>With the next line: &quot;the HVL computed from the spectrum&quot;; the next line (beside the value) at most about 50 pixels.</extracomment>
        <translation>Computed from the spectrum:</translation>
    </message>
    <message>
        <source>半価層</source>
        <translation>HVL</translation>
    </message>
    <message>
        <source>中心軸上の</source>
        <extracomment>With the next line: &quot;bowtie filter thickness on the central axis&quot;; either line may come first in the translation.</extracomment>
        <translation>Bowtie filter thickness</translation>
    </message>
    <message>
        <source>ボウタイフィルタ厚</source>
        <translation>on the central axis</translation>
    </message>
    <message>
        <source>総ろ過</source>
        <extracomment>Total (aluminium-equivalent) filtration; at most about 60 pixels, the tool tip says it in full.</extracomment>
        <translation>Tot. filtr.</translation>
    </message>
    <message>
        <source>Photon energy</source>
        <translation>Photon energy</translation>
    </message>
    <message>
        <source>Relative fluence</source>
        <translation>Relative fluence</translation>
    </message>
    <message>
        <source>  X-ray spectrum by Tucker&apos;s formula</source>
        <translation>  X-ray spectrum by Tucker&apos;s formula</translation>
    </message>
    <message>
        <source>アルミニウム</source>
        <translation>Aluminium</translation>
    </message>
    <message>
        <source>銅</source>
        <comment>HVL material</comment>
        <translation>Copper</translation>
    </message>
    <message>
        <source>前回の入力の結果です：計算し直して下さい</source>
        <extracomment>Must stay short: it sits in the strip under the graph, beside the read-out.</extracomment>
        <translation>Results of earlier inputs: calculate again</translation>
    </message>
    <message>
        <source>中心の半価層に合わせて求めた総ろ過（アルミ当量）</source>
        <translation>Total filtration (aluminium equivalent) fitted to the HVL measured at the centre</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Form3</name>
    <message>
        <source>回転中心から側方向の照射線量（空気カーマ）プロファイル</source>
        <translation>Lateral exposure (air kerma) profile from the rotation centre</translation>
    </message>
    <message>
        <source>（各欄に数値入力後 Enter を押すと自動的に次の入力欄へ進みます）</source>
        <translation>(After typing a number in a field, Enter moves on to the next field)</translation>
    </message>
    <message>
        <source>焦点-回転中心間距離</source>
        <translation>Focus–centre distance</translation>
    </message>
    <message>
        <source>測定点の数（中心点を除く）</source>
        <translation>Number of off-axis points</translation>
    </message>
    <message>
        <source>  ポイント</source>
        <extracomment>Unit after the number of points.</extracomment>
        <translation>  points</translation>
    </message>
    <message>
        <source> Point  No.</source>
        <extracomment>Grid heading over the point numbers, on at most two short lines.</extracomment>
        <translation> Point  No.</translation>
    </message>
    <message>
        <source>軸外距離</source>
        <extracomment>Grid heading: off-axis distance (the unit cm is on the line below); one line of at most about 70 pixels.</extracomment>
        <translation>Distance</translation>
    </message>
    <message>
        <source>照射線量</source>
        <extracomment>Grid heading, first line of &quot;exposure reading&quot;; at most about 95 pixels.</extracomment>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>測定値</source>
        <extracomment>Grid heading, second line of &quot;exposure reading&quot; (the measured value); at most about 95 pixels.</extracomment>
        <translation>reading</translation>
    </message>
    <message>
        <source>&#x3000;→&#x3000;グラフで確認</source>
        <extracomment>Tall narrow button: every ASCII blank starts a new line; at most four lines of about 50 pixels.</extracomment>
        <translation>→ Check graph</translation>
    </message>
    <message>
        <source>スペクトル計算</source>
        <translation>Calculate spectra</translation>
    </message>
    <message>
        <source>結果を見る</source>
        <translation>Show results</translation>
    </message>
    <message>
        <source>スタート画面へ戻る</source>
        <translation>Back to start screen</translation>
    </message>
    <message>
        <source>入力が変わりました。結果を見るには計算し直して下さい</source>
        <translation>The input has changed: calculate again to see the results</translation>
    </message>
    <message>
        <source>Off</source>
        <extracomment>The axis title of the off-axis ratio graph, on three short lines left of the frame.</extracomment>
        <translation>Off</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>Ratio</translation>
    </message>
    <message>
        <source>Off Center,  cm</source>
        <translation>Off Center,  cm</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Form5</name>
    <message>
        <source>&#x3000;計算中です</source>
        <translation>Calculating</translation>
    </message>
    <message>
        <source>ただいま計算中</source>
        <translation>Calculating…</translation>
    </message>
    <message>
        <source>しばらくお待ちください</source>
        <translation>Please wait a moment</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::GeometryFigure</name>
    <message>
        <source>X線管球</source>
        <extracomment>A caption of the start screen&apos;s figure. Each ASCII blank in a caption starts a new line: write a no-break space (U+00A0) between the words of one line.</extracomment>
        <translation>X-ray&#xa0;tube</translation>
    </message>
    <message>
        <source>固有ろ過</source>
        <translation>Inherent&#xa0;filtration</translation>
    </message>
    <message>
        <source>付加 フィルタ</source>
        <translation>Added filter</translation>
    </message>
    <message>
        <source>ボウタイフィルタ</source>
        <translation>Bowtie&#xa0;filter</translation>
    </message>
    <message>
        <source>①焦点-回転中心間距離</source>
        <translation>①&#xa0;Focus–centre distance</translation>
    </message>
    <message>
        <source>②回転中心における 半価層実測値</source>
        <translation>②&#xa0;HVL&#xa0;measured at&#xa0;the&#xa0;centre</translation>
    </message>
    <message>
        <source>③この線上の 照射線量プロファイル</source>
        <translation>③&#xa0;Exposure&#xa0;profile along&#xa0;this&#xa0;line</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::GraphMenu</name>
    <message>
        <source>PNG で保存…</source>
        <translation>Save as PNG…</translation>
    </message>
    <message>
        <source>SVG で保存…</source>
        <translation>Save as SVG…</translation>
    </message>
    <message>
        <source>クリップボードにコピー</source>
        <translation>Copy to clipboard</translation>
    </message>
    <message>
        <source>SVG で保存</source>
        <translation>Save as SVG</translation>
    </message>
    <message>
        <source>PNG で保存</source>
        <translation>Save as PNG</translation>
    </message>
    <message>
        <source>SVG 画像 (*.svg)</source>
        <translation>SVG image (*.svg)</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>the picture could not be made</source>
        <extracomment>The reason in the message that a graph file could not be saved.</extracomment>
        <translation>the picture could not be made</translation>
    </message>
    <message>
        <source> ファイル %1 を保存できませんでした（%2） </source>
        <extracomment>%1 is the file&apos;s path, %2 the reason.</extracomment>
        <translation> The file %1 could not be saved (%2) </translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>作業フォルダを使えません： %1
%2</source>
        <translation>The working folder cannot be used: %1
%2</translation>
    </message>
</context>
</TS>
