<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>EngineText</name>
    <message>
        <source>%1：%2</source>
        <extracomment>The line under the input-error message: %1 is the field&apos;s name, %2 why its text is not a number.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source> 実測半価層は 0 より大きい値を入力して下さい </source>
        <translation> The measured HVL must be above 0 </translation>
    </message>
    <message>
        <source>実測半価層</source>
        <translation>Measured HVL</translation>
    </message>
    <message>
        <source> Ｘ線管電圧は 10.5 kV 以上 150 kV 以下の値を入力して下さい </source>
        <translation> The tube voltage must be 10.5 to 150 kV </translation>
    </message>
    <message>
        <source>Ｘ線管電圧</source>
        <translation>Tube voltage</translation>
    </message>
    <message>
        <source> ターゲット角度は 0 度より大きく 90 度未満の値を入力して下さい </source>
        <translation> The target angle must be above 0° and below 90° </translation>
    </message>
    <message>
        <source>ターゲット角度</source>
        <translation>Target angle</translation>
    </message>
    <message>
        <source> 固有ろ過は 0 以上の値を入力して下さい </source>
        <translation> The inherent filtration must be 0 or more </translation>
    </message>
    <message>
        <source>固有ろ過</source>
        <translation>Inherent filtration</translation>
    </message>
    <message>
        <source> 付加フィルタ（アルミ）は 0 以上の値を入力して下さい </source>
        <translation> The added aluminium filter must be 0 or more </translation>
    </message>
    <message>
        <source>付加フィルタ</source>
        <translation>Added filter</translation>
    </message>
    <message>
        <source> 付加フィルタ（銅）は 0 以上の値を入力して下さい </source>
        <translation> The added copper filter must be 0 or more </translation>
    </message>
    <message>
        <source> 付加フィルタ（銀）は 0 以上の値を入力して下さい </source>
        <translation> The added silver filter must be 0 or more </translation>
    </message>
    <message>
        <source> 焦点-回転中心間距離は 0 より大きい値を入力して下さい </source>
        <translation> The focus–centre distance must be above 0 </translation>
    </message>
    <message>
        <source>焦点-回転中心間距離</source>
        <translation>Focus–centre distance</translation>
    </message>
    <message>
        <source> 測定点の数は 0 以上 25 以下の値を入力して下さい </source>
        <translation> The number of points must be 0 to 25 </translation>
    </message>
    <message>
        <source>測定点の数</source>
        <translation>Number of points</translation>
    </message>
    <message>
        <source> 照射線量の測定値は 0 より大きい値を入力して下さい </source>
        <translation> An exposure reading must be above 0 </translation>
    </message>
    <message>
        <source>照射線量</source>
        <translation>Exposure reading</translation>
    </message>
    <message>
        <source> コリメーションは 0 より大きい値を入力して下さい </source>
        <translation> The collimation must be above 0 </translation>
    </message>
    <message>
        <source>コリメーション</source>
        <translation>Collimation</translation>
    </message>
    <message>
        <source> 角度の刻みは 0 度より大きい値を入力して下さい </source>
        <translation> The angle step must be above 0° </translation>
    </message>
    <message>
        <source>角度の刻み</source>
        <translation>Angle step</translation>
    </message>
    <message>
        <source> 空気カーマは 0 より大きい値を入力して下さい </source>
        <translation> The air kerma must be above 0 </translation>
    </message>
    <message>
        <source>空気カーマ</source>
        <translation>Air kerma</translation>
    </message>
    <message>
        <source> 光子数は 1 以上 100000000 以下の整数を入力して下さい </source>
        <translation> The photon count must be a whole number from 1 to 100000000 </translation>
    </message>
    <message>
        <source>光子数</source>
        <translation>Photon count</translation>
    </message>
    <message>
        <source> 位相空間の面の距離は 0 より大きく 1000 cm 以下の値を入力して下さい </source>
        <translation> The phase-space plane distance must be above 0 and at most 1000 cm </translation>
    </message>
    <message>
        <source>面の距離</source>
        <translation>Plane distance</translation>
    </message>
    <message>
        <source>付加フィルタ（アルミ）</source>
        <translation>Added filter (Al)</translation>
    </message>
    <message>
        <source>付加フィルタ（銅）</source>
        <translation>Added filter (Cu)</translation>
    </message>
    <message>
        <source>付加フィルタ（銀）</source>
        <translation>Added filter (Ag)</translation>
    </message>
    <message>
        <source> 実測半価層を入力して下さい </source>
        <translation> Enter the measured HVL </translation>
    </message>
    <message>
        <source> Ｘ線管電圧を入力して下さい </source>
        <translation> Enter the tube voltage </translation>
    </message>
    <message>
        <source> Ｘ線管電圧は最大 150 kV までです </source>
        <translation> The tube voltage is at most 150 kV </translation>
    </message>
    <message>
        <source> 入力データに誤りがあります！ </source>
        <translation> The input data contain an error! </translation>
    </message>
    <message>
        <source> 軸外距離を入力して下さい（0 は回転中心だけです） </source>
        <translation> Enter the off-axis distance (only the centre lies at 0) </translation>
    </message>
    <message>
        <source>軸外距離</source>
        <translation>Off-axis distance</translation>
    </message>
    <message>
        <source> 焦点-回転中心間距離は最も遠い測定点の軸外距離より大きい値を入力して下さい </source>
        <translation> The focus–centre distance must be greater than the off-axis distance of the farthest point </translation>
    </message>
    <message>
        <source> 中心軸の計算が正しく終わっていないため、計算できません </source>
        <translation> Cannot calculate: the centre-axis calculation did not finish correctly </translation>
    </message>
    <message>
        <source>&#x3000;正しく計算できません ①</source>
        <translation> Cannot be computed correctly ① (spectrum pass)</translation>
    </message>
    <message>
        <source>&#x3000;正しく計算できません ②</source>
        <translation> Cannot be computed correctly ② (aluminium fit)</translation>
    </message>
    <message>
        <source>&#x3000;正しく計算できません ③</source>
        <translation> Cannot be computed correctly ③ (copper fit)</translation>
    </message>
    <message>
        <source>半価層が正しく計算できません</source>
        <translation>The HVL cannot be computed correctly</translation>
    </message>
    <message>
        <source>ボウタイフィルタ厚がマイナス値になります。条件などを確認してください。</source>
        <translation>The bowtie filter thickness becomes negative. Check the conditions.</translation>
    </message>
    <message>
        <source>&#x3000;正しく計算できません ④ </source>
        <translation> Cannot be computed correctly ④ (bowtie solver) </translation>
    </message>
    <message>
        <source>  計算が終了しました  </source>
        <translation>  The calculation has finished  </translation>
    </message>
</context>
<context>
    <name>NumberText</name>
    <message>
        <source>全角の数字は使えません（半角で入力してください）</source>
        <translation>full-width digits cannot be used (type half-width ones)</translation>
    </message>
    <message>
        <source>小数点には「.」を使って下さい（「,」は使えません）</source>
        <translation>use &quot;.&quot; as the decimal point (not &quot;,&quot;)</translation>
    </message>
    <message>
        <source>空白だけでは数値になりません</source>
        <translation>blanks alone are not a number</translation>
    </message>
    <message>
        <source>数値として読めません</source>
        <translation>cannot be read as a number</translation>
    </message>
</context>
<context>
    <name>OffAxisRun</name>
    <message>
        <source>ポイント %1（回転中心） の照射線量の測定値がありません</source>
        <translation>Point %1 (rotation centre) has no exposure reading</translation>
    </message>
    <message>
        <source>ポイント %1 の照射線量の測定値がありません</source>
        <translation>Point %1 has no exposure reading</translation>
    </message>
    <message>
        <source>ポイント %1（回転中心） の照射線量の測定値が %2 です</source>
        <extracomment>%1 is the point&apos;s number, %2 its exposure reading.</extracomment>
        <translation>The exposure reading of point %1 (rotation centre) is %2</translation>
    </message>
    <message>
        <source>ポイント %1 の照射線量の測定値が %2 です</source>
        <translation>The exposure reading of point %1 is %2</translation>
    </message>
</context>
<context>
    <name>ProfileGeometry</name>
    <message>
        <source>ポイント %1 の軸外距離がありません</source>
        <extracomment>%1 is the point&apos;s number.</extracomment>
        <translation>Point %1 has no off-axis distance</translation>
    </message>
    <message>
        <source>ポイント %1 の軸外距離 %2 cm に対し、焦点-回転中心間距離が %3 cm です</source>
        <extracomment>%1 is the farthest point&apos;s number, %2 its off-axis distance, %3 the focus-centre distance (both in cm).</extracomment>
        <translation>Point %1 lies at an off-axis distance of %2 cm; the focus–centre distance is %3 cm</translation>
    </message>
</context>
<context>
    <name>ResultFileReader</name>
    <message>
        <source>値の数が %1 個に足りません</source>
        <extracomment>Why a result file is refused, shown after &quot;line N:&quot;. %1: the number of values the line needs.</extracomment>
        <translation>fewer than %1 values</translation>
    </message>
    <message>
        <source>%1 番目の欄が数値ではありません</source>
        <extracomment>%1: the number of the field, the label being the first.</extracomment>
        <translation>field %1 is not a number</translation>
    </message>
    <message>
        <source>ファイルが途中で終わっています（%1 行必要です）</source>
        <translation>the file ends early (%1 lines are needed)</translation>
    </message>
    <message>
        <source>ポイント数が数値ではありません</source>
        <translation>the number of points is not a number</translation>
    </message>
    <message>
        <source>ポイント数が 0 から 25 の範囲にありません</source>
        <translation>the number of points is not within 0 to 25</translation>
    </message>
    <message>
        <source>見出しが %1 ではありません</source>
        <extracomment>%1: the label the line must begin with (OC(cm), OCR, Al(mm), SAD).</extracomment>
        <translation>the label is not %1</translation>
    </message>
    <message>
        <source>エネルギーの欄が %1 keV ではありません</source>
        <extracomment>%1: the energy the spectrum line must begin with.</extracomment>
        <translation>the energy column is not %1 keV</translation>
    </message>
    <message>
        <source>設定値が数値ではありません</source>
        <translation>a set-up value is not a number</translation>
    </message>
    <message>
        <source>管電圧が 10.5 kV 以上 150 kV 以下の範囲にありません</source>
        <translation>the tube voltage is not within 10.5 to 150 kV</translation>
    </message>
    <message>
        <source>311 行目より後に余分な行があります</source>
        <translation>there are extra lines after line 311</translation>
    </message>
    <message>
        <source>結果ファイルとしては大きすぎます</source>
        <translation>too large for a result file</translation>
    </message>
    <message>
        <source>ファイルを読めません</source>
        <translation>the file cannot be read</translation>
    </message>
</context>
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
    <name>halvorn::ui::BeamQualityWindow</name>
    <message>
        <source>ポイント</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>中心からの距離
(cm)</source>
        <translation>Off axis
(cm)</translation>
    </message>
    <message>
        <source>ファン角
(°)</source>
        <translation>Fan angle
(°)</translation>
    </message>
    <message>
        <source>ボウタイ透過長
(mm Al)</source>
        <translation>Bowtie path
(mm Al)</translation>
    </message>
    <message>
        <source>相対
空気カーマ</source>
        <translation>Relative
air kerma</translation>
    </message>
    <message>
        <source>相対光子
フルエンス</source>
        <translation>Relative
fluence</translation>
    </message>
    <message>
        <source>第1半価層
Al (mm)</source>
        <translation>HVL1
Al (mm)</translation>
    </message>
    <message>
        <source>第2半価層
Al (mm)</source>
        <translation>HVL2
Al (mm)</translation>
    </message>
    <message>
        <source>均等度
Al</source>
        <translation>Homogeneity
Al</translation>
    </message>
    <message>
        <source>第1半価層
Cu (mm)</source>
        <translation>HVL1
Cu (mm)</translation>
    </message>
    <message>
        <source>第2半価層
Cu (mm)</source>
        <translation>HVL2
Cu (mm)</translation>
    </message>
    <message>
        <source>均等度
Cu</source>
        <translation>Homogeneity
Cu</translation>
    </message>
    <message>
        <source>平均エネルギー
(keV)</source>
        <translation>Mean energy
(keV)</translation>
    </message>
    <message>
        <source>実効エネルギー
Al (keV)</source>
        <translation>Eff. energy
Al (keV)</translation>
    </message>
    <message>
        <source>実効エネルギー
Cu (keV)</source>
        <translation>Eff. energy
Cu (keV)</translation>
    </message>
    <message>
        <source>ポイント 0（回転中心）〜 %1</source>
        <translation>points 0 (rotation centre) to %1</translation>
    </message>
    <message>
        <source>結果ファイル %1&#x3000;管電圧 %2 kV、%3（ターゲット角度と実測半価層は結果ファイルに記録されていません）</source>
        <translation>Result file %1: tube voltage %2 kV, %3 (the result file records no target angle or measured HVL)</translation>
    </message>
    <message>
        <source>今回の計算&#x3000;管電圧 %1 kV</source>
        <translation>This calculation: tube voltage %1 kV</translation>
    </message>
    <message>
        <source>ターゲット角度 %1°</source>
        <translation>target angle %1°</translation>
    </message>
    <message>
        <source>実測半価層 %1 mm %2</source>
        <translation>measured HVL %1 mm %2</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the inputs named above the table</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source> 線質一覧</source>
        <translation> Beam-quality table</translation>
    </message>
    <message>
        <source>スペクトルは相対値です。半価層は空気カーマを 1/2 にする厚さ（第1）と、さらに 1/4 にするまでの厚さ（第2）、均等度は 第1半価層 / 第2半価層、実効エネルギーは減弱係数が ln 2 / 第1半価層 になるエネルギーです。— は求められない値です。</source>
        <translation>Spectra are relative. HVL1 is the thickness that halves the air kerma, HVL2 the further thickness down to 1/4; the homogeneity coefficient is HVL1 / HVL2; the effective energy is the energy at which the attenuation coefficient equals ln 2 / HVL1. — marks a value that cannot be given.</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>CSV で保存…</source>
        <translation>Save as CSV…</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>線質一覧を CSV で保存</source>
        <translation>Save the beam-quality table as CSV</translation>
    </message>
    <message>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source> ファイル %1 を保存できませんでした（%2） </source>
        <translation> File %1 could not be saved (%2) </translation>
    </message>
</context>
<context>
    <name>halvorn::ui::ExportDialog</name>
    <message>
        <source>EGSnrc（スペクトル .spectrum、ボウタイ前のスペクトル、CT 線源のボウタイファイル 2 つ、入力ブロック source.egsinp）</source>
        <translation>EGSnrc (.spectrum spectra, spectrum before the bowtie, two bowtie files of the CT source, input block source.egsinp)</translation>
    </message>
    <message>
        <source>XCIST（ボウタイ、スペクトル）</source>
        <translation>XCIST (bowtie, spectrum)</translation>
    </message>
    <message>
        <source>GATE 9 / GATE 10（中心のスペクトル、ボウタイの立体 bowtie.stl とボウタイ前のスペクトル、GATE 10 の線源 gate10_fan_beam.py）</source>
        <translation>GATE 9 / GATE 10 (centre spectrum, bowtie solid bowtie.stl with the spectrum before it, GATE 10 source gate10_fan_beam.py)</translation>
    </message>
    <message>
        <source>スペクトルテキスト（.spk、線質の値つき）</source>
        <translation>Spectrum text (.spk, with beam-quality figures)</translation>
    </message>
    <message>
        <source>表計算用 CSV（全ポイントのスペクトル、線質一覧）</source>
        <translation>Spreadsheet CSV (spectra of all points, beam-quality table)</translation>
    </message>
    <message>
        <source>IAEA 位相空間（fan_beam.IAEAheader / .IAEAphsp、ファン全体の光子。コリメーションが要ります）</source>
        <translation>IAEA phase space (fan_beam.IAEAheader / .IAEAphsp, photons of the whole fan; needs collimation)</translation>
    </message>
    <message>
        <source> エクスポート</source>
        <translation> Export</translation>
    </message>
    <message>
        <source>書き出す形式</source>
        <translation>Formats</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>参照…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>コリメーション</source>
        <translation>Collimation</translation>
    </message>
    <message>
        <source>cm（回転中心でのビーム幅、FWHM。空欄なら EGSnrc の入力ブロックに書きません）</source>
        <translation>cm (beam width at the rotation centre, FWHM; empty: not in the EGSnrc input block)</translation>
    </message>
    <message>
        <source>角度の刻み</source>
        <translation>Angle step</translation>
    </message>
    <message>
        <source>°（EGSnrc のボウタイファイルのファン角の間隔）</source>
        <translation>° (fan-angle spacing of the EGSnrc bowtie files)</translation>
    </message>
    <message>
        <source>ターゲット角度</source>
        <translation>Target angle</translation>
    </message>
    <message>
        <source>空気カーマ</source>
        <translation>Air kerma</translation>
    </message>
    <message>
        <source>mGy / 100 mAs（回転中心の空中、小型電離箱の点の値。コリメーションが要ります。空欄なら相対値）</source>
        <translation>mGy / 100 mAs (in air at the centre, small-chamber point value; needs collimation; empty: relative)</translation>
    </message>
    <message>
        <source>光子数</source>
        <translation>Photon count</translation>
    </message>
    <message>
        <source>個（位相空間、1 個 25 バイト、1 以上 100000000 以下）</source>
        <translation>(phase space, 25 bytes each, 1 to 100000000)</translation>
    </message>
    <message>
        <source>面の距離</source>
        <translation>Plane distance</translation>
    </message>
    <message>
        <source>cm（焦点から位相空間の面まで）</source>
        <translation>cm (from the focus to the phase-space plane)</translation>
    </message>
    <message>
        <source>書き出す</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>°（結果ファイルには記録されていません）</source>
        <translation>° (not recorded in the result file)</translation>
    </message>
    <message>
        <source>°（今回の計算の値）</source>
        <translation>° (of this calculation)</translation>
    </message>
    <message>
        <source> 位相空間にはコリメーション（回転中心でのビーム幅）を入力して下さい </source>
        <translation> Enter the collimation (beam width at the rotation centre) for the phase space </translation>
    </message>
    <message>
        <source> 空気カーマを使うにはコリメーション（回転中心でのビーム幅）を入力して下さい </source>
        <translation> Enter the collimation (beam width at the rotation centre) to use the air kerma </translation>
    </message>
    <message>
        <source>書き出すフォルダ</source>
        <translation>Export folder</translation>
    </message>
    <message>
        <source> 書き出す形式を選んで下さい </source>
        <translation> Choose the formats to write </translation>
    </message>
    <message>
        <source> 書き出すフォルダを入力して下さい </source>
        <translation> Enter the folder to write to </translation>
    </message>
    <message>
        <source>位相空間を作っています…</source>
        <translation>Making the phase space…</translation>
    </message>
    <message>
        <source>エクスポート</source>
        <translation>Export</translation>
    </message>
    <message>
        <source> フォルダ %1 には同じ名前のファイルが %2 個あります。置き換えますか？ </source>
        <translation> The folder %1 already holds %2 files of these names. Replace them? </translation>
    </message>
    <message>
        <source> エクスポートできませんでした。ファイルは書き出していません（%1） </source>
        <translation> The export failed; no file was written (%1) </translation>
    </message>
    <message>
        <source> フォルダ %1 に %2 個のファイルを書き出しました </source>
        <translation> %2 files were written into the folder %1 </translation>
    </message>
    <message>
        <source>ファイルの一覧は下のボタンで表示できます</source>
        <translation>The button below shows the list of files</translation>
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
    <message>
        <source>ポイント %1 の軸外距離</source>
        <translation>Off-axis distance of point %1</translation>
    </message>
    <message>
        <source>ポイント %1 の照射線量の測定値</source>
        <translation>Exposure reading of point %1</translation>
    </message>
</context>
<context>
    <name>halvorn::ui::Form4</name>
    <message>
        <source>計算結果の表示</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>既存データファイル一覧</source>
        <translation>Saved result files</translation>
    </message>
    <message>
        <source>ファイルを選択して下さい</source>
        <translation>Select a file</translation>
    </message>
    <message>
        <source>このファイルのコメント</source>
        <translation>Comment of this file</translation>
    </message>
    <message>
        <source>ボウタイフィルタの 形状を表示</source>
        <extracomment>Two-line button: it breaks at every ASCII blank, so join the words of a line with no-break spaces</extracomment>
        <translation>Show&#xa0;bowtie filter&#xa0;shape</translation>
    </message>
    <message>
        <source>スタート画面へ戻る</source>
        <translation>Back to start screen</translation>
    </message>
    <message>
        <source>回転半径</source>
        <extracomment>The focus–centre distance (cm); caption of 100 px at 9.75 pt</extracomment>
        <translation>Focus–centre</translation>
    </message>
    <message>
        <source>管電圧</source>
        <translation>Tube voltage</translation>
    </message>
    <message>
        <source>固有ろ過</source>
        <extracomment>Inherent filtration (mm Al eq.); caption of 100 px at 9.75 pt</extracomment>
        <translation>Inherent filtr.</translation>
    </message>
    <message>
        <source>付加</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>フィルタ</source>
        <translation>filter</translation>
    </message>
    <message>
        <source>アルミ</source>
        <extracomment>Added aluminium filter; 56 px wide</extracomment>
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
        <source>各スペクトルの最大値で正規化する</source>
        <translation>Normalise each spectrum to its own peak</translation>
    </message>
    <message>
        <source>スペクトル表示ポイント</source>
        <translation>Spectrum of point</translation>
    </message>
    <message>
        <source>No. を入力して下さい</source>
        <translation>Enter the point No.</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>最大ポイント No.</source>
        <translation>Highest point No.</translation>
    </message>
    <message>
        <source>回転中心からの距離</source>
        <translation>Off-axis distance</translation>
    </message>
    <message>
        <source>ボウタイフィルタ透過長</source>
        <translation>Bowtie path length</translation>
    </message>
    <message>
        <source>保存ファイル名（拡張子なしで）</source>
        <translation>File name to save (no extension)</translation>
    </message>
    <message>
        <source>データ保存</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>線質一覧</source>
        <extracomment>Opens the beam-quality table; button of 96 px at 10.5 pt</extracomment>
        <translation>Beam quality</translation>
    </message>
    <message>
        <source>エクスポート</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Graph Clear</source>
        <translation>Graph Clear</translation>
    </message>
    <message>
        <source> 中心のスペクトルが 0 のため、スペクトルを描けません </source>
        <translation> The centre spectrum is 0, so no spectrum can be drawn </translation>
    </message>
    <message>
        <source> ファイル %1 を読めません </source>
        <translation> File %1 cannot be read </translation>
    </message>
    <message>
        <source> ファイルが選択されていません </source>
        <translation> No file has been selected </translation>
    </message>
    <message>
        <source>%1 行目: </source>
        <translation>line %1: </translation>
    </message>
    <message>
        <source> ファイル %1 は結果ファイルとして読めません（%2%3） </source>
        <translation> File %1 cannot be read as a result file (%2%3) </translation>
    </message>
    <message>
        <source> ファイル %1 は Shift-JIS で書かれていないため、コメントが文字化けしているかもしれません </source>
        <translation> File %1 is not written in Shift-JIS, so its comment may be garbled </translation>
    </message>
    <message>
        <source> 保存ファイル名を入力して下さい </source>
        <translation> Enter a file name to save </translation>
    </message>
    <message>
        <source> ファイル名に / や \ は使えません </source>
        <translation> / and \ cannot be used in a file name </translation>
    </message>
    <message>
        <source> ファイル %1 は既にあります。置き換えますか？ </source>
        <translation> File %1 already exists. Replace it? </translation>
    </message>
    <message>
        <source>このデータについてのコメントを入力して下さい</source>
        <translation>Enter a comment on this data</translation>
    </message>
    <message>
        <source>コメント入力</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source> コメントが入力されていません </source>
        <translation> No comment has been entered </translation>
    </message>
    <message>
        <source> コメントの次の文字は結果ファイル（Shift-JIS）に保存できません：%1 
 「?」に置き換えて保存しますか？（いいえ：コメントの入力に戻ります） </source>
        <translation> These characters of the comment cannot be stored in the result file (Shift-JIS): %1 
 Save them as &quot;?&quot;? (No: back to the comment) </translation>
    </message>
    <message>
        <source>表示中の結果がありません</source>
        <translation>no results are on show</translation>
    </message>
    <message>
        <source> ファイル %1 を保存できませんでした（%2） </source>
        <translation> File %1 could not be saved (%2) </translation>
    </message>
    <message>
        <source> ファイルを保存しました </source>
        <translation> The file has been saved </translation>
    </message>
    <message>
        <source> 減弱係数テーブルを読めないため、線質を計算できません（%1） </source>
        <translation> The attenuation table cannot be read, so the beam quality cannot be computed (%1) </translation>
    </message>
    <message>
        <source>ポイントNo.：%1</source>
        <translation>Point No.: %1</translation>
    </message>
    <message>
        <source> ポイントNo.は整数で入力して下さい </source>
        <translation> Enter the point No. as a whole number </translation>
    </message>
    <message>
        <source> ポイントNo.が範囲外です </source>
        <translation> The point No. is out of range </translation>
    </message>
    <message>
        <source> ポイント %1 のスペクトルが 0 のため、描けません </source>
        <translation> The spectrum of point %1 is 0 and cannot be drawn </translation>
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
    <name>halvorn::ui::Form6</name>
    <message>
        <source> Bowtie filter</source>
        <translation> Bowtie filter</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>15 cm</source>
        <translation>15 cm</translation>
    </message>
    <message>
        <source>from the X-ray focus</source>
        <translation>from the X-ray focus</translation>
    </message>
    <message>
        <source>The shape of this Bowtie filter</source>
        <translation>The shape of this Bowtie filter</translation>
    </message>
    <message>
        <source>(Assumed to be made of aluminum)</source>
        <translation>(Assumed to be made of aluminum)</translation>
    </message>
    <message>
        <source>60 mm</source>
        <translation>60 mm</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source> データ不足のため、ボウタイフィルタ形状を表示できません </source>
        <translation> The bowtie filter shape cannot be shown: insufficient data </translation>
    </message>
    <message>
        <source>ボウタイフィルタ</source>
        <translation>Bowtie filter</translation>
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
