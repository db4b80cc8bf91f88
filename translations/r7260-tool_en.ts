<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en">
<context>
    <name>BaseCommandsPanel</name>
    <message>
        <source>基本命令</source>
        <translation>Basic commands</translation>
    </message>
    <message>
        <source>握手</source>
        <translation>Handshake</translation>
    </message>
    <message>
        <source>查地址</source>
        <translation>Get address</translation>
    </message>
    <message>
        <source>查波特率</source>
        <translation>Get baud rate</translation>
    </message>
    <message>
        <source>改地址</source>
        <translation>Set address</translation>
    </message>
    <message>
        <source>改波特率</source>
        <translation>Set baud rate</translation>
    </message>
    <message>
        <source>New Addr:</source>
        <translation>New Addr:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
</context>
<context>
    <name>CommandListPanel</name>
    <message>
        <source>txt文件(*.txt)|*.txt|所有文件(*.*)|*.*||</source>
        <translation>Text files (*.txt)|*.txt|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>TXT文件(*.TXT)|*.TXT|所有文件(*.*)|*.*||</source>
        <translation>TXT files (*.TXT)|*.TXT|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>高级自动控制功能(HEX格式)</source>
        <translation>Advanced automatic control (HEX format)</translation>
    </message>
    <message>
        <source>按行循环执行命令</source>
        <translation>Run the lines in a loop</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>命令另存为</source>
        <translation>Save list as</translation>
    </message>
    <message>
        <source>插入命令</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>命令操作</source>
        <translation>List</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>隔</source>
        <translation>Every</translation>
    </message>
    <message>
        <source>MS</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>无延时命令，默认间隔为1秒</source>
        <translation>Without a Delay line the interval is 1 second</translation>
    </message>
    <message>
        <source>延时:</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>毫秒50-60000</source>
        <translation>ms, 50-60000</translation>
    </message>
    <message>
        <source>跳转:</source>
        <translation>Jump:</translation>
    </message>
    <message>
        <source>行</source>
        <translation>line</translation>
    </message>
    <message>
        <source>文件名无效,请重新打开!</source>
        <translation>Invalid file name, please open again!</translation>
    </message>
    <message>
        <source>无法读取文件 %1：%2
命令列表保持不变。</source>
        <translation>Cannot read the file %1: %2
The command list is unchanged.</translation>
    </message>
    <message>
        <source>已从 %1 读入 %2 行</source>
        <translation>Read %2 lines from %1</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>文件保存</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>是否覆盖文件？</source>
        <translation>Overwrite the file?</translation>
    </message>
    <message>
        <source>已保存 %1 行到 %2</source>
        <translation>Saved %1 lines to %2</translation>
    </message>
    <message>
        <source>命令列表为空：已删除 %1，未创建新文件</source>
        <translation>The command list is empty: deleted %1, created no new file</translation>
    </message>
    <message>
        <source>命令列表为空：未创建文件</source>
        <translation>The command list is empty: created no file</translation>
    </message>
    <message>
        <source>文件未保存：%1</source>
        <translation>File not saved: %1</translation>
    </message>
    <message>
        <source>原文件保持不变。</source>
        <translation>The original file is unchanged.</translation>
    </message>
    <message>
        <source>间隔时间超出范围,请设置0到65535毫秒之间</source>
        <translation>Interval out of range, please set 0 to 65535 ms</translation>
    </message>
    <message>
        <source>%1 不是普通文件，不能作为命令列表打开。
命令列表保持不变。</source>
        <translation>%1 is not a regular file and cannot be opened as a command list.
The command list stays as it was.</translation>
    </message>
    <message>
        <source>文件 %1 太大（%2 字节），命令列表文件最多 %3 字节。
命令列表保持不变。</source>
        <translation>The file %1 is too large (%2 bytes); a command-list file holds at most %3 bytes.
The command list stays as it was.</translation>
    </message>
    <message>
        <source>文件 %1 有 %2 行，命令列表最多 %3 行。
命令列表保持不变。</source>
        <translation>The file %1 has %2 lines; the command list holds at most %3 lines.
The command list stays as it was.</translation>
    </message>
</context>
<context>
    <name>FrmMain</name>
    <message>
        <source>写入串口失败：%1</source>
        <translation>Writing to the serial port failed: %1</translation>
    </message>
    <message>
        <source>Tervane数控MODBUS(CAN测试)调试工具FOR R7260S</source>
        <translation>Tervane CNC MODBUS (CAN Test) Commissioning Tool for R7260S</translation>
    </message>
    <message>
        <source>驱动产品</source>
        <translation>Drive products</translation>
    </message>
    <message>
        <source>控制产品</source>
        <translation>Control products</translation>
    </message>
    <message>
        <source>TervaneMODBUS调试工具</source>
        <translation>Tervane MODBUS Tool</translation>
    </message>
    <message>
        <source>通讯协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>串口未打开，命令未发送</source>
        <translation>Serial port not open: command not sent</translation>
    </message>
    <message>
        <source>串口拒绝写入</source>
        <translation>The serial port refused the write</translation>
    </message>
    <message>
        <source>响应时间：%1 ms</source>
        <translation>Response time: %1 ms</translation>
    </message>
    <message>
        <source>参数组</source>
        <translation>Parameter sets</translation>
    </message>
    <message>
        <source>总线扫描</source>
        <translation>Bus scan</translation>
    </message>
    <message>
        <source>示波器</source>
        <translation>Scope</translation>
    </message>
    <message>
        <source>把找到的设备备份到文件夹</source>
        <translation>Back up the drives found into a folder</translation>
    </message>
    <message>
        <source>已备份 %1 台设备到 %2；未能备份 %3 台，其他波特率上的 %4 台未备份</source>
        <translation>Backed up %1 drive(s) to %2; %3 could not be backed up, %4 at another line speed were left out</translation>
    </message>
</context>
<context>
    <name>InfoTabs</name>
    <message>
        <source>步进电机驱动器</source>
        <translation>Stepper motor drivers</translation>
    </message>
    <message>
        <source>细分型步进驱动器</source>
        <translation>Microstepping drivers</translation>
    </message>
    <message>
        <source>数字式步进驱动器</source>
        <translation>Digital stepper drivers</translation>
    </message>
    <message>
        <source>混合式步进电机</source>
        <translation>Hybrid stepper motors</translation>
    </message>
    <message>
        <source>闭环步进系统</source>
        <translation>Closed-loop stepper systems</translation>
    </message>
    <message>
        <source>一体化步进电机</source>
        <translation>Integrated stepper motors</translation>
    </message>
    <message>
        <source>直线步进电机</source>
        <translation>Linear stepper motors</translation>
    </message>
    <message>
        <source>步进电机减速机</source>
        <translation>Stepper motor gearboxes</translation>
    </message>
    <message>
        <source>单轴运动控制器</source>
        <translation>Single-axis motion controllers</translation>
    </message>
    <message>
        <source>多轴运动控制器</source>
        <translation>Multi-axis motion controllers</translation>
    </message>
    <message>
        <source>总线型运动控制器</source>
        <translation>Fieldbus motion controllers</translation>
    </message>
    <message>
        <source>CAN总线驱动控制器</source>
        <translation>CAN bus drive controllers</translation>
    </message>
    <message>
        <source>RS-485驱动控制器</source>
        <translation>RS-485 drive controllers</translation>
    </message>
    <message>
        <source>脉冲发生器</source>
        <translation>Pulse generators</translation>
    </message>
    <message>
        <source>人机界面</source>
        <translation>Operator panels (HMI)</translation>
    </message>
    <message>
        <source>配套电源与线缆</source>
        <translation>Power supplies and cables</translation>
    </message>
    <message>
        <source>protocol.txt</source>
        <comment>the protocol reference's file in this language, one of app/resources.qrc</comment>
        <translation>protocol_en.txt</translation>
    </message>
</context>
<context>
    <name>LanguagePanel</name>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>语言选择(Select Language):</source>
        <translation>Select language:</translation>
    </message>
</context>
<context>
    <name>ManualToolsPanel</name>
    <message>
        <source>添加高级命令</source>
        <translation>Sends, and adds what it sends to the end of the command list</translation>
    </message>
    <message>
        <source>发送，并把发送的内容加到命令列表末尾</source>
        <translation>Sends, and adds what it sends to the end of the command list</translation>
    </message>
    <message>
        <source>输入字符串：</source>
        <translation>String:</translation>
    </message>
    <message>
        <source>发送字符串</source>
        <translation>Send string</translation>
    </message>
    <message>
        <source>转为16进制</source>
        <translation>To hex</translation>
    </message>
    <message>
        <source>转为字符串</source>
        <translation>To string</translation>
    </message>
    <message>
        <source>MODBUS发送ASC</source>
        <translation>Send MODBUS ASCII</translation>
    </message>
    <message>
        <source>输入16进制：</source>
        <translation>Hex:</translation>
    </message>
    <message>
        <source>发送16进制数据</source>
        <translation>Send hex data</translation>
    </message>
    <message>
        <source>CRC校验：</source>
        <translation>CRC:</translation>
    </message>
    <message>
        <source>CRC低位在前</source>
        <translation>CRC low byte first</translation>
    </message>
    <message>
        <source>CRC高位在前</source>
        <translation>CRC high byte first</translation>
    </message>
    <message>
        <source>LRC校验：</source>
        <translation>LRC:</translation>
    </message>
    <message>
        <source>计算LRC</source>
        <translation>Compute LRC</translation>
    </message>
    <message>
        <source>MODBUS发送RTU</source>
        <translation>Send MODBUS RTU</translation>
    </message>
</context>
<context>
    <name>MotionPanel</name>
    <message>
        <source>运动控制</source>
        <translation>Motion control</translation>
    </message>
    <message>
        <source>位置运动:</source>
        <translation>Position move:</translation>
    </message>
    <message>
        <source>正/负方向脉冲数:</source>
        <translation>+/- pulses:</translation>
    </message>
    <message>
        <source>运动</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>方向:</source>
        <translation>Direction:</translation>
    </message>
    <message>
        <source>脉冲数:</source>
        <translation>Pulses:</translation>
    </message>
    <message>
        <source>恒速运动:</source>
        <translation>Constant speed:</translation>
    </message>
    <message>
        <source>正/负方向速度:</source>
        <translation>+/- speed:</translation>
    </message>
    <message>
        <source>速度:</source>
        <translation>Speed:</translation>
    </message>
    <message>
        <source>减速停止</source>
        <translation>Stop decelerating</translation>
    </message>
    <message>
        <source>立即停止</source>
        <translation>Stop now</translation>
    </message>
    <message>
        <source>查找零点:</source>
        <translation>Find origin:</translation>
    </message>
    <message>
        <source>归零</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>运动中改变速度:   新速度</source>
        <translation>Change speed while running:   new speed</translation>
    </message>
    <message>
        <source>PLUS/S</source>
        <translation>pulses/s</translation>
    </message>
    <message>
        <source>执行</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>IO控制:</source>
        <translation>IO control:</translation>
    </message>
    <message>
        <source>IN序号  54321</source>
        <translation>Inputs  54321</translation>
    </message>
    <message>
        <source>＝命令</source>
        <translation>= command</translation>
    </message>
</context>
<context>
    <name>OthersPanel</name>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>无校验检查</source>
        <translation>No checksum check</translation>
    </message>
    <message>
        <source>有校验检查</source>
        <translation>Checksum check</translation>
    </message>
    <message>
        <source>回8byte长</source>
        <translation>Reply 8 bytes</translation>
    </message>
    <message>
        <source>回协议长</source>
        <translation>Reply full length</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Others</translation>
    </message>
    <message>
        <source>运动因子</source>
        <translation>Speed factor</translation>
    </message>
    <message>
        <source>加速度</source>
        <translation>Step up</translation>
    </message>
    <message>
        <source>减速度</source>
        <translation>Step down</translation>
    </message>
    <message>
        <source>查询IN</source>
        <translation>Get inputs</translation>
    </message>
    <message>
        <source>IN1  IN2   IN3  IN4  IN5</source>
        <translation>IN1  IN2   IN3  IN4  IN5</translation>
    </message>
    <message>
        <source>出厂设置</source>
        <translation>Factory settings</translation>
    </message>
    <message>
        <source>以下CAN相关</source>
        <translation>CAN settings</translation>
    </message>
    <message>
        <source>CAN波特率</source>
        <translation>CAN baud rate</translation>
    </message>
    <message>
        <source>HEX到CAN发送</source>
        <translation>Send hex to CAN</translation>
    </message>
</context>
<context>
    <name>ParameterPanel</name>
    <message>
        <source>初速度</source>
        <translation>Start speed</translation>
    </message>
    <message>
        <source>设置运动初速度：把右边框中的值（脉冲/秒）写入设备</source>
        <translation>Set start speed: writes the value in the box to the right (pulses/s) to the device</translation>
    </message>
    <message>
        <source>最大速度</source>
        <translation>Max speed</translation>
    </message>
    <message>
        <source>设置运动最大速度：把右边框中的值（脉冲/秒）写入设备</source>
        <translation>Set max speed: writes the value in the box to the right (pulses/s) to the device</translation>
    </message>
    <message>
        <source>末速度</source>
        <translation>End speed</translation>
    </message>
    <message>
        <source>设置运动末速度：把右边框中的值（脉冲/秒）写入设备</source>
        <translation>Set end speed: writes the value in the box to the right (pulses/s) to the device</translation>
    </message>
    <message>
        <source>加速度</source>
        <translation>Acceleration</translation>
    </message>
    <message>
        <source>设置运动加速度：把右边框中的值（脉冲/秒²）写入设备</source>
        <translation>Set acceleration: writes the value in the box to the right (pulses/s²) to the device</translation>
    </message>
    <message>
        <source>减速度</source>
        <translation>Deceleration</translation>
    </message>
    <message>
        <source>设置运动减速度：把右边框中的值（脉冲/秒²）写入设备</source>
        <translation>Set deceleration: writes the value in the box to the right (pulses/s²) to the device</translation>
    </message>
    <message>
        <source>归零速度</source>
        <translation>Homing speed</translation>
    </message>
    <message>
        <source>设置归零运动速度：把右边框中的值（脉冲/秒）写入设备</source>
        <translation>Set homing speed: writes the value in the box to the right (pulses/s) to the device</translation>
    </message>
    <message>
        <source>运动速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>绝对位置</source>
        <translation>Absolute pos.</translation>
    </message>
    <message>
        <source>相对位置</source>
        <translation>Relative pos.</translation>
    </message>
    <message>
        <source>参数设置与查询</source>
        <translation>Parameters: set and query</translation>
    </message>
    <message>
        <source>新设值</source>
        <translation>New value</translation>
    </message>
    <message>
        <source>查询值</source>
        <translation>Queried value</translation>
    </message>
    <message>
        <source>查询设定值</source>
        <translation>Query the value set in the device</translation>
    </message>
    <message>
        <source>运动相关查询</source>
        <translation>Motion queries</translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Clear to zero</translation>
    </message>
    <message>
        <source>运动状态</source>
        <translation>Motion state</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>左限</source>
        <translation>Left limit</translation>
    </message>
    <message>
        <source>零点</source>
        <translation>Origin</translation>
    </message>
    <message>
        <source>右限</source>
        <translation>Right limit</translation>
    </message>
    <message>
        <source>运动中</source>
        <translation>Moving</translation>
    </message>
</context>
<context>
    <name>ParameterSetPanel</name>
    <message>
        <source>参数组文件(*.json)|*.json|所有文件(*.*)|*.*||</source>
        <translation>Parameter sets (*.json)|*.json|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>A:</source>
        <translation>A:</translation>
    </message>
    <message>
        <source>B:</source>
        <translation>B:</translation>
    </message>
    <message>
        <source>含地址和波特率</source>
        <translation>With address and baud rate</translation>
    </message>
    <message>
        <source>显示全部</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>将B中打勾的项写入A地址的设备</source>
        <translation>Write B's ticked entries to the device at A's address</translation>
    </message>
    <message>
        <source>读取设备</source>
        <translation>Read device</translation>
    </message>
    <message>
        <source>打开文件...</source>
        <translation>Open file...</translation>
    </message>
    <message>
        <source>保存到文件...</source>
        <translation>Save to file...</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>无法读取文件：%1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>文件有 %1 字节，超过参数组文件的上限 1048576 字节</source>
        <translation>The file holds %1 bytes, above the 1048576 a parameter set may hold</translation>
    </message>
    <message>
        <source>不是JSON文件：%1</source>
        <translation>Not a JSON file: %1</translation>
    </message>
    <message>
        <source>不是参数组文件：没有 "settings"</source>
        <translation>Not a parameter set: no "settings"</translation>
    </message>
    <message>
        <source>条目 %1 格式不对</source>
        <translation>Entry %1 is malformed</translation>
    </message>
    <message>
        <source>不认识的文件格式版本：%1</source>
        <translation>Unknown file format version: %1</translation>
    </message>
    <message>
        <source>文件头 %1 格式不对：%2</source>
        <translation>Header field %1 is malformed: %2</translation>
    </message>
    <message>
        <source>%1：%2 不是整数</source>
        <translation>%1: %2 is no whole number</translation>
    </message>
    <message>
        <source>%1：%2 不是十六进制数</source>
        <translation>%1: %2 is not hex digits</translation>
    </message>
    <message>
        <source>%1：%2 不是设备可用的波特率</source>
        <translation>%1: %2 is no rate the device can be switched to</translation>
    </message>
    <message>
        <source>%1：输入组合 %2 不在 1 到 31 之间</source>
        <translation>%1: pattern %2 lies outside 1 to 31</translation>
    </message>
    <message>
        <source>%1：%2 不是一条完整的命令（功能码、字节数、数据）</source>
        <translation>%1: %2 is not one complete command (code, count, data)</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>回读</source>
        <translation>Read back</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>串口未打开：先在调试工具页打开串口。</source>
        <translation>The port is not open: open it on the tool tab first.</translation>
    </message>
    <message>
        <source>正在读取……</source>
        <translation>Reading...</translation>
    </message>
    <message>
        <source>打开参数组</source>
        <translation>Open parameter set</translation>
    </message>
    <message>
        <source>这一侧还没有参数组：先读取设备或打开文件。</source>
        <translation>This side holds no parameter set yet: read a device or open a file first.</translation>
    </message>
    <message>
        <source>保存参数组</source>
        <translation>Save parameter set</translation>
    </message>
    <message>
        <source>文件未保存：%1
原文件保持不变。</source>
        <translation>File not saved: %1
The old file is unchanged.</translation>
    </message>
    <message>
        <source>参数组已保存到 %1</source>
        <translation>Parameter set saved to %1</translation>
    </message>
    <message>
        <source>设备 %1</source>
        <translation>Device %1</translation>
    </message>
    <message>
        <source>(无)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>可回读</source>
        <translation>can be read back</translation>
    </message>
    <message>
        <source>不能回读</source>
        <translation>cannot be read back</translation>
    </message>
    <message>
        <source>%1 项不同</source>
        <translation>%1 differ</translation>
    </message>
    <message>
        <source>两边相同</source>
        <translation>Both the same</translation>
    </message>
    <message>
        <source>B中没有打勾的项。</source>
        <translation>No entry of B is ticked.</translation>
    </message>
    <message>
        <source>将 %1 项写入地址 %2 的设备？</source>
        <translation>Write %1 entries to the device at address %2?</translation>
    </message>
    <message>
        <source>正在写入……</source>
        <translation>Writing...</translation>
    </message>
    <message>
        <source>已写入 %1 项（确认 %2 项），未发送 %3 项</source>
        <translation>%1 written (%2 confirmed), %3 not sent</translation>
    </message>
    <message>
        <source>写入在 %1 处停止（%2）：%3。</source>
        <translation>The write stopped at %1 (%2): %3.</translation>
    </message>
    <message>
        <source>全部写入：%1。</source>
        <translation>All written: %1.</translation>
    </message>
    <message>
        <source>写入完成，但有回读不符：%1。</source>
        <translation>Written, but some values read back differently: %1.</translation>
    </message>
    <message>
        <source>读取在 %1 处停止：设备拒绝，错误码 %2</source>
        <translation>Reading stopped at %1: the device refused, error %2</translation>
    </message>
    <message>
        <source>读取在 %1 处停止：设备无回复</source>
        <translation>Reading stopped at %1: no reply from the device</translation>
    </message>
    <message>
        <source>读取停止：串口断开（%1）</source>
        <translation>Reading stopped: the port went away (%1)</translation>
    </message>
    </context>
<context>
    <name>Prompts</name>
    <message>
        <source>R7260S调试工具</source>
        <translation>R7260S Commissioning Tool</translation>
    </message>
</context>
<context>
    <name>ScanPanel</name>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>通讯模式</source>
        <translation>Framing</translation>
    </message>
    <message>
        <source>响应时间(ms)</source>
        <translation>Response (ms)</translation>
    </message>
    <message>
        <source>扫描设置</source>
        <translation>Scan settings</translation>
    </message>
    <message>
        <source>驱动器在请求和回复占用线路的时间之外用来应答的时间</source>
        <translation>The time a drive is given to answer beyond the request's and the reply's time on the line</translation>
    </message>
    <message>
        <source>起始地址(Hex)：</source>
        <translation>First address (hex):</translation>
    </message>
    <message>
        <source>结束地址(Hex)：</source>
        <translation>Last address (hex):</translation>
    </message>
    <message>
        <source>通讯模式：</source>
        <translation>Framing:</translation>
    </message>
    <message>
        <source>应答余量(ms)：</source>
        <translation>Turnaround allowance (ms):</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud rates:</translation>
    </message>
    <message>
        <source>开始扫描</source>
        <translation>Start scan</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>使用所选设备</source>
        <translation>Use selected drive</translation>
    </message>
    <message>
        <source>把所选驱动器的地址、波特率和通讯模式填入串口设置</source>
        <translation>Put the selected drive's address, baud rate and framing into the serial settings</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>已扫描 %1/%2，剩余约 %3 秒</source>
        <translation>Scanned %1/%2, about %3 s left</translation>
    </message>
    <message>
        <source>扫描完成：找到 %1 台驱动器</source>
        <translation>Scan done: %1 drive(s) found</translation>
    </message>
    <message>
        <source>扫描已取消：找到 %1 台驱动器</source>
        <translation>Scan cancelled: %1 drive(s) found</translation>
    </message>
    <message>
        <source>扫描中止：%1；已找到 %2 台驱动器</source>
        <translation>Scan stopped: %1; %2 drive(s) found</translation>
    </message>
    <message>
        <source>以失败回复应答握手，错误码 %1</source>
        <translation>Answered the handshake with a failure reply, error code %1</translation>
    </message>
    <message>
        <source>这一行不是驱动器：%1</source>
        <translation>This row is no drive: %1</translation>
    </message>
    <message>
        <source>已选地址 %1、%2 波特；串口正以 %3 波特打开，请关闭后重新打开</source>
        <translation>Address %1 at %2 baud chosen; the port is open at %3 baud: close it and open it again</translation>
    </message>
    <message>
        <source>已选地址 %1、%2 波特</source>
        <translation>Address %1 at %2 baud chosen</translation>
    </message>
    <message>
        <source>备份找到的设备...</source>
        <translation>Back up the drives found...</translation>
    </message>
    <message>
        <source>把找到的每台驱动器的参数组存入一个文件夹，每个地址一个文件</source>
        <translation>Save the parameter set of every drive found into a folder, one file per address</translation>
    </message>
</context>
<context>
    <name>ScopePanel</name>
    <message>
        <source>绝对位置</source>
        <translation>Absolute position</translation>
    </message>
    <message>
        <source>相对位置</source>
        <translation>Relative position</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>运动状态</source>
        <translation>Motion state</translation>
    </message>
    <message>
        <source>输入IN1-IN5</source>
        <translation>Inputs IN1-IN5</translation>
    </message>
    <message>
        <source>自由运行</source>
        <translation>Free running</translation>
    </message>
    <message>
        <source>运动命令</source>
        <translation>Move command</translation>
    </message>
    <message>
        <source>运动状态变化</source>
        <translation>Motion state change</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*||</source>
        <translation>CSV files (*.csv)|*.csv|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>PNG图片(*.png)|*.png|所有文件(*.*)|*.*||</source>
        <translation>PNG images (*.png)|*.png|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>采样与触发</source>
        <translation>Sampling and trigger</translation>
    </message>
    <message>
        <source>采样率:</source>
        <translation>Rate:</translation>
    </message>
    <message>
        <source>触发:</source>
        <translation>Trigger:</translation>
    </message>
    <message>
        <source>预触发:</source>
        <translation>Pre-trigger:</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>画面停住，采样继续</source>
        <translation>Holds the picture; sampling goes on</translation>
    </message>
    <message>
        <source>自动缩放</source>
        <translation>Auto-scale</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>导出PNG</source>
        <translation>Export PNG</translation>
    </message>
    <message>
        <source>运动测量</source>
        <translation>Move measurements</translation>
    </message>
    <message>
        <source>光标</source>
        <translation>Cursors</translation>
    </message>
    <message>
        <source>右键: 光标A  Shift+右键: 光标B</source>
        <translation>Right click: cursor A  Shift+right click: B</translation>
    </message>
    <message>
        <source>已触发</source>
        <translation>Triggered</translation>
    </message>
    <message>
        <source>运行中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>等待触发</source>
        <translation>Waiting for the trigger</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>峰值速度:</source>
        <translation>Peak speed:</translation>
    </message>
    <message>
        <source>加速时间:</source>
        <translation>Time to peak:</translation>
    </message>
    <message>
        <source>加速度:</source>
        <translation>Acceleration:</translation>
    </message>
    <message>
        <source>运动时间:</source>
        <translation>Move time:</translation>
    </message>
    <message>
        <source>最终位置:</source>
        <translation>Final position:</translation>
    </message>
    <message>
        <source>最快</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>示波器已停止：%1</source>
        <translation>Scope stopped: %1</translation>
    </message>
    <message>
        <source>请至少选择一个通道</source>
        <translation>Choose at least one channel</translation>
    </message>
    <message>
        <source>设备地址无效，无法查询</source>
        <translation>The device address is not valid: nothing can be queried</translation>
    </message>
    <message>
        <source>采样 %1/s  交换 %2  超时 %3  无效回复 %4</source>
        <translation>%1 samples/s  exchanges %2  timeouts %3  bad replies %4</translation>
    </message>
    <message>
        <source>未见运动</source>
        <translation>No move seen</translation>
    </message>
    <message>
        <source>(目标 %1，偏差 %2)</source>
        <translation>(target %1, off by %2)</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>已导出 %1</source>
        <translation>Exported %1</translation>
    </message>
</context>
<context>
    <name>ScopePlot</name>
    <message>
        <source>时间 (s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>位置 (脉冲)</source>
        <translation>Position (pulses)</translation>
    </message>
    <message>
        <source>速度 (脉冲/s)</source>
        <translation>Speed (pulses/s)</translation>
    </message>
</context>
<context>
    <name>SerialPanel</name>
    <message>
        <source>串口设置</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>起始位为1，终止位为1</source>
        <translation>1 start bit, 1 stop bit</translation>
    </message>
    <message>
        <source>无奇偶校验，无硬件控制</source>
        <translation>No parity, no flow control</translation>
    </message>
    <message>
        <source>按西门子标准</source>
        <translation>Siemens standard</translation>
    </message>
    <message>
        <source>读</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>设寄存器映射地址</source>
        <translation>Set register base</translation>
    </message>
    <message>
        <source>选择通讯模式:</source>
        <translation>Communication mode:</translation>
    </message>
    <message>
        <source>设备操作地址(Hex)：</source>
        <translation>Device address (hex):</translation>
    </message>
    <message>
        <source>%1：没有对应的串口设备</source>
        <translation>%1: no serial device</translation>
    </message>
    <message>
        <source>%1 未打开</source>
        <translation>%1 not open</translation>
    </message>
    <message>
        <source>已打开 %1（%2），%3</source>
        <translation>Opened %1 (%2), %3</translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation>Serial port closed</translation>
    </message>
    <message>
        <source>正在连接 %1 ...</source>
        <translation>Connecting to %1 ...</translation>
    </message>
    <message>
        <source>串口 %1（%2）已断开并关闭：%3</source>
        <translation>Port %1 (%2) went away and was closed: %3</translation>
    </message>
</context>
<context>
    <name>TrafficPanes</name>
    <message>
        <source>清空内容</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>接收内容：</source>
        <translation>Received:</translation>
    </message>
    <message>
        <source>发送内容：</source>
        <translation>Sent:</translation>
    </message>
    <message>
        <source>西门子标准格式:</source>
        <translation>Siemens standard format:</translation>
    </message>
    <message>
        <source>记录到文件...</source>
        <translation>Record to file...</translation>
    </message>
    <message>
        <source>把收发的每一帧连同时间和响应时间记录到文件</source>
        <translation>Record every frame sent and received, with its time and the response time, to a file</translation>
    </message>
    <message>
        <source>无法记录到 %1：%2</source>
        <translation>Cannot record to %1: %2</translation>
    </message>
    <message>
        <source>正在记录到 %1</source>
        <translation>Recording to %1</translation>
    </message>
    <message>
        <source>记录已停止</source>
        <translation>Recording stopped</translation>
    </message>
    <message>
        <source>记录通信</source>
        <translation>Record the traffic</translation>
    </message>
    <message>
        <source>文本文件(*.txt)|*.txt|所有文件(*.*)|*.*||</source>
        <translation>Text files (*.txt)|*.txt|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>通信记录已停止：无法写入 %1（%2）</source>
        <translation>The traffic record stopped: cannot write %1 (%2)</translation>
    </message>
</context>
<context>
    <name>automation</name>
    <message>
        <source>初速度</source>
        <translation>Start speed</translation>
    </message>
    <message>
        <source>最大速度</source>
        <translation>Max speed</translation>
    </message>
    <message>
        <source>末速度</source>
        <translation>End speed</translation>
    </message>
    <message>
        <source>加速度</source>
        <translation>Acceleration</translation>
    </message>
    <message>
        <source>减速度</source>
        <translation>Deceleration</translation>
    </message>
    <message>
        <source>归零速度</source>
        <translation>Homing speed</translation>
    </message>
    <message>
        <source>波特率代码</source>
        <translation>Baud code</translation>
    </message>
    <message>
        <source>地址范围无效：起止地址须在 1 到 FF 之间，且起始地址不大于结束地址</source>
        <translation>Address range not valid: the first and the last address must lie between 1 and FF, the first not above the last</translation>
    </message>
    <message>
        <source>没有选择要扫描的波特率</source>
        <translation>No baud rate chosen to scan</translation>
    </message>
    <message>
        <source>波特率无效：只能选串口提供的波特率，每个只能选一次</source>
        <translation>Baud rates not valid: only rates the port offers, each once</translation>
    </message>
    <message>
        <source>应答余量须在 0 到 %1 ms 之间</source>
        <translation>The turnaround allowance must lie between 0 and %1 ms</translation>
    </message>
    <message>
        <source>串口未打开，扫描未开始</source>
        <translation>The port is not open; the scan did not start</translation>
    </message>
    <message>
        <source>扫描正在进行</source>
        <translation>A scan is already under way</translation>
    </message>
    <message>
        <source>回复损坏：同一地址上有两台驱动器，或波特率不对？</source>
        <translation>reply damaged: two drives at one address, or a wrong speed?</translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation>The port was closed</translation>
    </message>
    <message>
        <source>串口不能以 %1 波特通讯</source>
        <translation>The port cannot run at %1 baud</translation>
    </message>
    <message>
        <source>串口设置未能恢复为 %1</source>
        <translation>The port's settings could not be put back to %1</translation>
    </message>
    <message>
        <source>已写入并确认</source>
        <translation>written and confirmed</translation>
    </message>
    <message>
        <source>已写入，不能回读</source>
        <translation>written, cannot be read back</translation>
    </message>
    <message>
        <source>已写入，但回读为 %1</source>
        <translation>written, but reads back %1</translation>
    </message>
    <message>
        <source>设备拒绝，错误码 %1</source>
        <translation>refused by the device, error %1</translation>
    </message>
    <message>
        <source>已写入，回读无回复</source>
        <translation>written, read-back not answered</translation>
    </message>
    <message>
        <source>无回复</source>
        <translation>not answered</translation>
    </message>
    <message>
        <source>串口断开：%1</source>
        <translation>port lost: %1</translation>
    </message>
    <message>
        <source>未发送</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>无值，未写入</source>
        <translation>no value, not written</translation>
    </message>
</context>
<context>
    <name>automation::Trace</name>
    <message>
        <source>绝对位置</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <source>相对位置</source>
        <translation>Relative</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>运动中</source>
        <translation>Moving</translation>
    </message>
    <message>
        <source>左限位</source>
        <translation>Left limit</translation>
    </message>
    <message>
        <source>原点</source>
        <translation>Origin</translation>
    </message>
    <message>
        <source>右限位</source>
        <translation>Right limit</translation>
    </message>
</context>
<context>
    <name>device</name>
    <message>
        <source>%1设备拒绝执行，错误码 %2</source>
        <translation>%1 the device refused, error code %2</translation>
    </message>
    <message>
        <source>校验错误:</source>
        <translation>Checksum error:</translation>
    </message>
    <message>
        <source>回复不完整:</source>
        <translation>Incomplete reply:</translation>
    </message>
    <message>
        <source>功能码未知</source>
        <translation>unknown function code</translation>
    </message>
    <message>
        <source>数据地址无效</source>
        <translation>invalid data address</translation>
    </message>
    <message>
        <source>数据值无效</source>
        <translation>invalid data value</translation>
    </message>
    <message>
        <source>命令无法执行</source>
        <translation>command cannot be carried out</translation>
    </message>
    <message>
        <source>设备忙</source>
        <translation>device busy</translation>
    </message>
    <message>
        <source>请求握手命令:</source>
        <translation>Handshake:</translation>
    </message>
    <message>
        <source>查询设备地址:</source>
        <translation>Get address:</translation>
    </message>
    <message>
        <source>查询设备地址:当前地址为</source>
        <translation>Get address: the device address is </translation>
    </message>
    <message>
        <source>更改设备地址:</source>
        <translation>Set address:</translation>
    </message>
    <message>
        <source>新地址</source>
        <translation>New address</translation>
    </message>
    <message>
        <source>查询当前波特率:</source>
        <translation>Get baud rate:</translation>
    </message>
    <message>
        <source>查询当前波特率:当前波特率设置为</source>
        <translation>Get baud rate: the baud rate code is </translation>
    </message>
    <message>
        <source>改变当前波特率:</source>
        <translation>Set baud rate:</translation>
    </message>
    <message>
        <source>设置运动初速度:</source>
        <translation>Set start speed:</translation>
    </message>
    <message>
        <source>初速度</source>
        <translation>Start speed</translation>
    </message>
    <message>
        <source>查询运动初速度:</source>
        <translation>Get start speed:</translation>
    </message>
    <message>
        <source>设置运动最大速度:</source>
        <translation>Set max speed:</translation>
    </message>
    <message>
        <source>最大速度</source>
        <translation>Max speed</translation>
    </message>
    <message>
        <source>查询运动最大速度:</source>
        <translation>Get max speed:</translation>
    </message>
    <message>
        <source>设置运动末速度:</source>
        <translation>Set end speed:</translation>
    </message>
    <message>
        <source>末速度</source>
        <translation>End speed</translation>
    </message>
    <message>
        <source>查询运动末速度:</source>
        <translation>Get end speed:</translation>
    </message>
    <message>
        <source>设置运动加速度:</source>
        <translation>Set acceleration:</translation>
    </message>
    <message>
        <source>加速度</source>
        <translation>Acceleration</translation>
    </message>
    <message>
        <source>查询运动加速度:</source>
        <translation>Get acceleration:</translation>
    </message>
    <message>
        <source>设置运动减速度:</source>
        <translation>Set deceleration:</translation>
    </message>
    <message>
        <source>减速度</source>
        <translation>Deceleration</translation>
    </message>
    <message>
        <source>查询运动减速度:</source>
        <translation>Get deceleration:</translation>
    </message>
    <message>
        <source>设置归零运动速度:</source>
        <translation>Set homing speed:</translation>
    </message>
    <message>
        <source>归零速度</source>
        <translation>Homing speed</translation>
    </message>
    <message>
        <source>查询归零运动速度:</source>
        <translation>Get homing speed:</translation>
    </message>
    <message>
        <source>设置32位运动脉冲数并开始运动:</source>
        <translation>Move:</translation>
    </message>
    <message>
        <source>脉冲数</source>
        <translation>Pulse count</translation>
    </message>
    <message>
        <source>设置24位运动脉冲数并开始运动:</source>
        <translation>Move relative:</translation>
    </message>
    <message>
        <source>设置32位运动速度，并恒速运动:</source>
        <translation>Run speed:</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>设置24位运动速度，并恒速运动:</source>
        <translation>Run direction:</translation>
    </message>
    <message>
        <source>恒速运动过程中改变速度:</source>
        <translation>Change speed:</translation>
    </message>
    <message>
        <source>新速度</source>
        <translation>New speed</translation>
    </message>
    <message>
        <source>查询运动速度:</source>
        <translation>Get speed:</translation>
    </message>
    <message>
        <source>查询运动绝对位置:</source>
        <translation>Get absolute position:</translation>
    </message>
    <message>
        <source>绝对位置清零:</source>
        <translation>Clear absolute position:</translation>
    </message>
    <message>
        <source>查询运动相对位置:</source>
        <translation>Get relative position:</translation>
    </message>
    <message>
        <source>相对位置清零:</source>
        <translation>Clear relative position:</translation>
    </message>
    <message>
        <source>查询运动状态:</source>
        <translation>Get motion state:</translation>
    </message>
    <message>
        <source>急停命令:</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>减速停止命令:</source>
        <translation>Stop decelerating:</translation>
    </message>
    <message>
        <source>查找原点命令:</source>
        <translation>Home:</translation>
    </message>
    <message>
        <source>归零方向</source>
        <translation>Homing direction</translation>
    </message>
    <message>
        <source>设置存储器偏移地址:</source>
        <translation>Set register base:</translation>
    </message>
    <message>
        <source>偏移地址</source>
        <translation>Register base</translation>
    </message>
    <message>
        <source>偏移地址超出范围,请设置0-65500之间</source>
        <translation>Register base out of range, please set 0-65500</translation>
    </message>
    <message>
        <source>IO取代命令</source>
        <translation>IO replacement command</translation>
    </message>
    <message>
        <source>查询IN状态命令:</source>
        <translation>Get inputs:</translation>
    </message>
    <message>
        <source>查询 IN 1-5 状态:</source>
        <translation>Get inputs: IN 1-5:</translation>
    </message>
    <message>
        <source>查询输入状态:</source>
        <translation>Get input state:</translation>
    </message>
    <message>
        <source>设置运动变速因子:</source>
        <translation>Set speed factor:</translation>
    </message>
    <message>
        <source>运动因子</source>
        <translation>Speed factor</translation>
    </message>
    <message>
        <source>设置变速因子命令:</source>
        <translation>Set speed factor:</translation>
    </message>
    <message>
        <source>定量加速命令:</source>
        <translation>Speed step up:</translation>
    </message>
    <message>
        <source>定量减速命令:</source>
        <translation>Speed step down:</translation>
    </message>
    <message>
        <source>出厂设置命令:</source>
        <translation>Factory settings:</translation>
    </message>
    <message>
        <source>设置值</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>%1到%2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>%1到%2个字节</source>
        <translation>%1 to %2 bytes</translation>
    </message>
    <message>
        <source>设备操作地址</source>
        <translation>Device address</translation>
    </message>
    <message>
        <source>%1超出范围,请设置%2之间</source>
        <translation>%1 out of range, please set %2</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
</context>
<context>
    <name>serial</name>
    <message>
        <source>无法打开串口 %1：没有对应的串口设备。
可以用环境变量 R7260_COM%2 指定设备路径。</source>
        <translation>Cannot open serial port %1: there is no serial device for it.
The environment variable R7260_COM%2 can name the device path.</translation>
    </message>
    <message>
        <source>无法打开串口 %1（%2）：串口参数无效（%3），请选择正确的波特率。</source>
        <translation>Cannot open serial port %1 (%2): invalid port settings (%3), please choose a valid baud rate.</translation>
    </message>
    <message>
        <source>无法打开串口 %1（%2）：没有访问权限（%3）。
请把当前用户加入 dialout 组，重新登录后再试。</source>
        <translation>Cannot open serial port %1 (%2): permission denied (%3).
Add the current user to the dialout group, log in again and retry.</translation>
    </message>
    <message>
        <source>无法打开串口 %1（%2）：设备正被其他程序占用（%3）。</source>
        <translation>Cannot open serial port %1 (%2): the device is in use by another program (%3).</translation>
    </message>
    <message>
        <source>无法打开串口 %1（%2）：设备不存在（%3）。</source>
        <translation>Cannot open serial port %1 (%2): the device does not exist (%3).</translation>
    </message>
    <message>
        <source>无法打开串口 %1（%2）：%3</source>
        <translation>Cannot open serial port %1 (%2): %3</translation>
    </message>
    <message>
        <source>请选择正确的串口名</source>
        <translation>Please choose a valid port name</translation>
    </message>
    <message>
        <source>“%1”不是串口名；可用：%2</source>
        <translation>"%1" is no port name; use %2</translation>
    </message>
    <message>
        <source>无法连接 %1：找不到主机（%2）。</source>
        <translation>Cannot connect to %1: host not found (%2).</translation>
    </message>
    <message>
        <source>无法连接 %1：对方拒绝连接（%2）。</source>
        <translation>Cannot connect to %1: the connection was refused (%2).</translation>
    </message>
    <message>
        <source>无法连接 %1：对方在 %2 内没有应答。</source>
        <translation>Cannot connect to %1: no answer within %2.</translation>
    </message>
    <message>
        <source>无法连接 %1：对方连接后立即断开（%2）。</source>
        <translation>Cannot connect to %1: the server closed the connection at once (%2).</translation>
    </message>
    <message>
        <source>COM1 到 COM9、设备路径（如 /dev/ttyUSB0）、tcp://主机:端口 或 rfc2217://主机:端口</source>
        <translation>COM1 to COM9, a device path (such as /dev/ttyUSB0), tcp://HOST:PORT or rfc2217://HOST:PORT</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>baud rate</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>data bits</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>stop bits</translation>
    </message>
    <message>
        <source>流控制</source>
        <translation>flow control</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>、</source>
        <comment>list separator</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 %2（所选 %3）</source>
        <translation>%1 %2 (chosen: %3)</translation>
    </message>
    <message>
        <source>串口服务器 %1 没有确认这些串口参数：%2。按所选参数继续。</source>
        <translation>The serial server %1 did not confirm these line settings: %2. Carrying on with the settings chosen.</translation>
    </message>
    <message>
        <source>串口服务器 %1 采用了与所选不同的串口参数：%2。</source>
        <translation>The serial server %1 uses line settings other than those chosen: %2.</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>transmission</name>
    <message>
        <source>串口已关闭</source>
        <translation>the port was closed</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>the port is not open</translation>
    </message>
    <message>
        <source>串口拒绝写入</source>
        <translation>the port refused the bytes</translation>
    </message>
</context>
<context>
    <name>ui</name>
    <message>
        <source>加入高级命令</source>
        <translation>Sends the command and adds its frame to the end of the command list</translation>
    </message>
    <message>
        <source>发送该命令，并把它的帧加到命令列表末尾</source>
        <translation>Sends the command and adds its frame to the end of the command list</translation>
    </message>
    <message>
        <source>添加IO取代命令</source>
        <translation>Sends the command and puts it into the IO control's command box</translation>
    </message>
</context>
</TS>