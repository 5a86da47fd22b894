<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
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
    <name>main</name>
    <message>
        <source>作業フォルダを使えません： %1
%2</source>
        <translation>The working folder cannot be used: %1
%2</translation>
    </message>
</context>
</TS>
